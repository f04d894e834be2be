#!/usr/bin/env python3
"""Writes what Pillow shows after each frame of a GIF to a file: red, green,
blue, alpha per pixel, frame after frame, fully transparent pixels as 0 0 0 0.

usage: pillow_canvases.py GIF OUT
"""
import sys

import numpy as np
from PIL import Image

with Image.open(sys.argv[1]) as image, open(sys.argv[2], "wb") as out:
    for frame in range(image.n_frames):
        image.seek(frame)
        canvas = np.array(image.convert("RGBA"))
        canvas[canvas[..., 3] == 0] = 0
        out.write(canvas.tobytes())
