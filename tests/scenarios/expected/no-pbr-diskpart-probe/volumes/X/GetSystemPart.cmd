diskpart /s X:\GetSystemPart.ini > X:\GetSystemPart.txt
