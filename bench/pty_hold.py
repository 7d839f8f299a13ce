#!/usr/bin/env python3
"""Holds N silent pseudo-terminal pairs open for the benchmark scripts.

Prints the device path of each (the end a program opens), one per line, then
reads and discards whatever is written to them, never answering, until it is
interrupted.
"""
import os
import select
import sys
import tty

count = int(sys.argv[1]) if len(sys.argv) > 1 else 1
masters = []
for _ in range(count):
    master, slave = os.openpty()
    tty.setraw(master)
    print(os.ttyname(slave), flush=True)
    masters.append(master)
    os.set_blocking(master, False)
try:
    while True:
        ready, _, _ = select.select(masters, [], [], 1.0)
        for fd in ready:
            try:
                os.read(fd, 4096)
            except OSError:
                pass
except KeyboardInterrupt:
    pass
