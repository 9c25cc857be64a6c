dism.exe /Get-WimInfo /WimFile:M:\RecoveryImage\install.swm /English | find /I "index" >> X:\ParseinstallInfo.log
exit
