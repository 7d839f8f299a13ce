#!/usr/bin/env python3
"""Plants wrong-direction includes in a copy of src/ and expects the layer
check to name each one; the unchanged copy must pass.
    tests/layer_check_test.py SRC LAYERS_TXT"""
import pathlib
import shutil
import subprocess
import sys
import tempfile

CHECK = pathlib.Path(__file__).resolve().parent.parent / "scripts" / "layer_check.py"

# (file to edit, line to add or None, line to remove or None, expected message)
CASES = [
    ("model/gps_time.cpp", '#include "core/main_window.h"', None,
     "model must not include core/main_window.h (core)"),
    ("link/packets.cpp", '#include "notify/receiver_notifier.h"', None,
     "link must not include notify/receiver_notifier.h (notify)"),
    ("platform/clock.cpp", '#include "platform/widgets.h"', None,
     "platform must not include platform/widgets.h (widgets)"),
    ("link/framing.cpp", "#include <QString>", None,
     "link is Qt-free and must not include <QString>"),
    ("config/form_gps.cpp", '#include "display/form_track.h"', None,
     "config must not include display/form_track.h (display)"),
    ("notify/receiver_notifier.cpp", '#include "logging/form_log.h"', None,
     "notify must not include logging/form_log.h (logging)"),
    ("display/form_track.cpp", '#include "core/main_window.h"', None,
     "display must not include core/main_window.h (core)"),
    ("views/form_sky.cpp", '#include "config/form_bias.h"', None,
     "views must not include config/form_bias.h (config)"),
    ("monitor/monitor.cpp", '#include "display/form_track.h"', None,
     "monitor must not include display/form_track.h (display)"),
    ("monitor/dispatch.cpp", "#include <QWidget>", None,
     "monitor is QtCore-only and must not include <QWidget>"),
    ("monitor/requests.cpp", '#include "platform/ui.h"', None,
     "monitor must not include platform/ui.h (widgets)"),
    ("model/unlisted.cpp", "int unlisted = 0;", None,
     "src/model/unlisted.cpp: in no layer's file list"),
]


def run(src, layers):
    return subprocess.run([sys.executable, str(CHECK), "--src", str(src), "--layers", layers],
                          capture_output=True, text=True)


def main():
    src, layers = pathlib.Path(sys.argv[1]), sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        copy = pathlib.Path(tmp) / "src"
        shutil.copytree(src, copy)
        clean = run(copy, layers)
        if clean.returncode != 0:
            failures.append(f"unchanged tree fails:\n{clean.stderr}")
        for name, add, remove, expected in CASES:
            path = copy / name
            before = path.read_text() if path.exists() else None
            text = before or ""
            if remove:
                text = text.replace(remove + "\n", "")
            if add:
                text = add + "\n" + text
            path.write_text(text)
            result = run(copy, layers)
            if result.returncode == 0 or expected not in result.stderr:
                failures.append(f"{name}: expected '{expected}', got rc={result.returncode}:\n"
                                f"{result.stderr}")
            if before is None:
                path.unlink()
            else:
                path.write_text(before)
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{len(CASES)} planted cases, {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
