"""Checks the profile quorvane.exe --capture wrote under Wine: what Wine shows of the machine."""
import json
import sys

profile = json.load(open(sys.argv[1], encoding="utf-8"))
drives = {d["letter"]: d for d in profile["drives"]}
r = drives.get("R:", {})
checks = [
    (profile["name"] == "wine-capture", "the name is the file's stem"),
    (profile["firmware"] == "legacy", "legacy firmware"),
    (drives.get("P:", {}).get("label") == "PUSH BUTTON", "P: labelled PUSH BUTTON"),
    (r.get("label") == "PQSERVICE2", "R: labelled PQSERVICE2"),
    (r.get("files", {}).get("RecoveryImage/install.wim") == {"wimImages": ["Home", "Pro"]},
     "R:'s recovery image naming its two images"),
    ("RyTools/" in r.get("files", {}), "R:'s tools folder"),
    ("X:" in drives, "the RAM drive X:"),
    (len(profile.get("captureNotes", [])) > 0, "notes of what Wine could not tell"),
]
failed = [what for ok, what in checks if not ok]
for what in failed:
    print("wine: capture: wrong or missing:", what, file=sys.stderr)
sys.exit(1 if failed else 0)
