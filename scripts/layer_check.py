#!/usr/bin/env python3
"""Fails when a file under src/ includes a layer above its own.

Each file's layer comes from the layer lists in src/CMakeLists.txt (written to
layers.txt in the build tree), so a file in no list fails the check too.
Run by every build (target layer_check), by CTest and so by CI:
    scripts/layer_check.py --src src --layers build/layers.txt
"""
import argparse
import pathlib
import re
import sys

# The layers, bottom to top, and what each may include besides itself.
# platform <- link <- model <- notify <- GUI modules <- core <- app (main.cpp);
# widgets is the Qt part of the platform layer (dialogs seam, shared widgets).
GUI_MODULES = ("display", "config", "logging", "transfer", "views")
BELOW_GUI_MODULES = ("platform", "link", "model", "widgets", "notify")
ALLOWED = {
    "platform": (),
    "link": ("platform",),
    "model": ("platform", "link"),
    "widgets": ("platform",),
    "notify": ("platform", "link", "model"),
    **{module: BELOW_GUI_MODULES for module in GUI_MODULES},
    "core": BELOW_GUI_MODULES + GUI_MODULES + ("sim",),
    "app": BELOW_GUI_MODULES + GUI_MODULES + ("core",),
}
# The simulator and zelk_dump link these, so they include no Qt header.
QT_FREE = ("platform", "link", "model")

# Includes against the direction that today's code still has: (file, header).
# They are tolerated until the code moves; a listed include that is gone fails
# the check as well, so this list only shrinks. Remove entries as they go.
KNOWN_VIOLATIONS = {
    # GUI modules that still reach into the main window or the dispatch.
    ("display/health.cpp", "core/main_window.h"),
    ("display/position.cpp", "core/main_window.h"),
    ("display/product.cpp", "core/main_window.h"),
    ("display/time_reports.cpp", "core/main_window.h"),
    ("display/tracking.cpp", "core/dispatch.h"),
    ("display/tracking.cpp", "core/main_window.h"),
    ("display/tracking.cpp", "core/poll_timer.h"),
    ("display/velocity.cpp", "core/main_window.h"),
    # Decoders writing other modules' windows and the data log.
    ("display/position.cpp", "config/form_bias.h"),
    ("display/position.cpp", "logging/data_log.h"),
    ("display/product.cpp", "config/form_io_options.h"),
    ("display/time_reports.cpp", "config/form_initial_time.h"),
    ("display/velocity.cpp", "config/form_bias.h"),
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Qt\w*/)?(Q\w+|q\w+\.h)$")


def read_layers(path):
    layers = {}
    for line in pathlib.Path(path).read_text().splitlines():
        if line.strip():
            layer, name = line.split(maxsplit=1)
            layers[name] = layer
    return layers


def target_layer(header, including, src, layers):
    """The layer of an included project header, or None for others."""
    for base in (src, (src / including).parent):
        candidate = (base / header).resolve()
        if candidate.is_file() and src in candidate.parents:
            return layers.get(candidate.relative_to(src).as_posix(), "unlisted")
    first = header.split("/")[0]
    if first == "sim" and (src.parent / header).is_file():
        return "sim"
    return None


def check(src, layers):
    errors, seen = [], set()
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        name = path.relative_to(src).as_posix()
        layer = layers.get(name)
        if layer is None:
            errors.append(f"src/{name}: in no layer's file list; add it to src/CMakeLists.txt")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            header = match.group(2)
            where = f"src/{name}:{number}"
            target = target_layer(header, name, src, layers)
            if target is None:
                if layer in QT_FREE and QT_HEADER.match(header):
                    errors.append(f"{where}: {layer} is Qt-free and must not include <{header}>")
                continue
            if target in (layer, "unlisted") or target in ALLOWED[layer]:
                continue  # an unlisted file is reported once, as itself
            if (name, header) in KNOWN_VIOLATIONS:
                seen.add((name, header))
                continue
            allowed = ", ".join(ALLOWED[layer]) or "nothing"
            errors.append(f"{where}: {layer} must not include {header} ({target}); "
                          f"{layer} may include {allowed}")
    for name, header in sorted(KNOWN_VIOLATIONS - seen):
        errors.append(f"src/{name} no longer includes {header}: "
                      f"remove it from KNOWN_VIOLATIONS in scripts/layer_check.py")
    return errors


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--src", required=True, type=pathlib.Path)
    parser.add_argument("--layers", required=True)
    args = parser.parse_args()
    errors = check(args.src.resolve(), read_layers(args.layers))
    for error in errors:
        print(f"layer check: {error}", file=sys.stderr)
    if errors:
        print(f"layer check failed: {len(errors)} problem(s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
