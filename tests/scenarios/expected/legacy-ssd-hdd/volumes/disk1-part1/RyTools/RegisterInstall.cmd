C:\Windows\System32\ReagentC /setosimage /path M:\RecoveryImage /target C:\Windows /index 3
