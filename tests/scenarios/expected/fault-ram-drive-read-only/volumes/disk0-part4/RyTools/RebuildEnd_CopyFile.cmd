MKDIR M:\RYTOOLS
XCOPY /c /f /i /y /h X:\NAPP2P_SSDHDD.ini M:\RYTOOLS\
XCOPY /c /f /i /y /h X:\Quorvane.log M:\RYTOOLS\
XCOPY /c /f /i /y /h M:\RebuildEnd_CopyFile.cmd M:\RYTOOLS\
del /S /R M:\RebuildEnd_CopyFile.cmd
