#!/usr/bin/env python3
"""Writes menubar.skn, a skin with the frame's face, menu-bar and menu
colours (file colours 2 to 15), into the folder given; built with the tests."""
import os
import struct
import sys

sys.dont_write_bytecode = True  # leave no cache in the source tree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skin_file"))
import make_test_data as t  # noqa: E402

COLOURS = [
    ("SKIN2_FORMCOLOR", 0x00D0D0D0),
    ("SKIN2_MENUBARSTARTCOLOR", 0x00102030),
    ("SKIN2_MENUBARENDCOLOR", 0x00405060),
    ("SKIN2_TOPSELECTEDMENUCOLOR", 0x00A01010),
    ("SKIN2_TOPSELECTEDMENUBORDERCOLOR", 0x0010A010),
    ("SKIN2_TOPSELECTEDMENUFONTCOLOR", 0x001010A0),
    ("SKIN2_TOPMENUFONTCOLOR", 0x00A0A010),
    ("SKIN2_LEFTBARSTARTCOLOR", 0x00306090),
    ("SKIN2_LEFTBARENDCOLOR", 0x00406080),
    ("SKIN2_MENUITEMCOLOR", 0x00C0E0F0),
    ("SKIN2_MENUITEMFONTCOLOR", 0x00008000),
    ("SKIN2_SELECTEDMENUCOLOR", 0x00800080),
    ("SKIN2_SELECTEDMENUBORDERCOLOR", 0x00008080),
    ("SKIN2_SELECTEDMENUFONTCOLOR", 0x00F0F0F0),
]

if __name__ == "__main__":
    skin = t.sk2([(name, 1, struct.pack("<i", value)) for name, value in COLOURS])
    with open(os.path.join(sys.argv[1], "menubar.skn"), "wb") as f:
        f.write(t.make_zip([t.Entry("SKINDATA.SK2", skin)]))
