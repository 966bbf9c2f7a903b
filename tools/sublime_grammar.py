#!/usr/bin/env python3
"""Write editors/sublime/Zentul.tmLanguage, the property-list form of the
TextMate grammar that Sublime Text reads, from the grammar of the VS Code
extension, editors/vscode/syntaxes/zentul.tmLanguage.json.

Run it after each change of the grammar: the editors test fails while the two
differ.
"""

import json
import os
import plistlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

with open(os.path.join(ROOT, "editors", "vscode", "syntaxes", "zentul.tmLanguage.json"), encoding="utf-8") as f:
    grammar = json.load(f)
grammar.pop("$schema")  # where editors find the JSON form's schema
with open(os.path.join(ROOT, "editors", "sublime", "Zentul.tmLanguage"), "wb") as f:
    plistlib.dump(grammar, f, sort_keys=False)
