#!/usr/bin/env python3
"""Writes the wallpaper hosts' description files beside wallpaper.html: Lively's LivelyInfo.json
and LivelyProperties.json, and Wallpaper Engine's project.json. The settings are the page's
(web/src/wallpaper/host-settings.ts): the example (in the order of the page's list: the sorted names of
examples/), the seed, the speed and the rotation through the list.
  host-files.py VERSION EXAMPLES_DIR OUT_DIR"""
import json
import os
import sys

version, examples_dir, out = sys.argv[1:4]
names = sorted(n[: -len(".txt")] for n in os.listdir(examples_dir) if n.endswith(".txt"))
label = lambda name: name.replace("-", " ").capitalize()
title = "Lumenweave"
description = ("A scripted figure of arms and wings that moves by itself, "
               f"from the examples of Lumenweave {version}.")
seed = "1"  # the gallery's
speed = {"value": 1, "min": 0, "max": 4}  # 1: 60 steps a second; web/src/wallpaper/host-settings.ts maxSpeed
every = {"value": 0, "min": 0, "max": 60}  # minutes, 0: none; web/src/wallpaper/host-settings.ts maxEveryMinutes
every_text = "Next script every (minutes; 0: never)"
shuffle_text = "Next script at random"


def write(name, data):
    with open(os.path.join(out, name), "w", encoding="utf-8") as f:
        json.dump(data, f, indent=2, ensure_ascii=False)
        f.write("\n")


# Lively: a web wallpaper (Type 1) whose page is FileName, beside these files.
write("LivelyInfo.json", {
    "AppVersion": "1.0.0.0",
    "Title": title,
    "Thumbnail": "preview.png",
    "Preview": "preview.png",
    "Desc": description,
    "Author": "the Lumenweave authors",
    "License": "MIT",
    "Contact": "",
    "Type": 1,
    "FileName": "wallpaper.html",
    "Arguments": None,
    "IsAbsolutePath": False,
})
# Lively gives a dropdown's index, a textbox's text and a slider's number to
# livelyPropertyListener(name, value).
write("LivelyProperties.json", {
    "example": {"type": "dropdown", "text": "Script", "value": 0, "items": [label(n) for n in names]},
    "seed": {"type": "textbox", "text": "Seed (a whole number)", "value": seed},
    "speed": {"type": "slider", "text": "Speed", "step": 0.25, **speed},
    "every": {"type": "slider", "text": every_text, "step": 1, **every},
    "shuffle": {"type": "checkbox", "text": shuffle_text, "value": False},
})
# Wallpaper Engine: the same settings as user properties; the frame-rate limit is its own general
# setting, which the page reads from applyGeneralProperties.
write("project.json", {
    "file": "wallpaper.html",
    "preview": "preview.png",
    "title": title,
    "description": description,
    "type": "web",
    "general": {
        "supportsaudioprocessing": False,
        "properties": {
            "example": {"order": 100, "text": "Script", "type": "combo", "value": names[0],
                        "options": [{"label": label(n), "value": n} for n in names]},
            "seed": {"order": 101, "text": "Seed (a whole number)", "type": "textinput", "value": seed},
            "speed": {"order": 102, "text": "Speed", "type": "slider", "fraction": True, "precision": 2,
                      "step": 0.25, **speed},
            "every": {"order": 103, "text": every_text, "type": "slider", "fraction": False, **every},
            "shuffle": {"order": 104, "text": shuffle_text, "type": "bool", "value": False},
        },
    },
})
