dism.exe /Get-WimInfo /WimFile:M:\RecoveryImage\install.wim /English | find /I "index" >> X:\ParseinstallInfo.log
exit
