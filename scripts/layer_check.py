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
# platform <- link <- describe, model <- notify <- monitor <- GUI modules <- core <- app (main.cpp);
# describe holds the packets' text form that zelk_dump and the packet console share;
# monitor is the engine (QtCore only); widgets is the Qt Widgets part of the
# platform layer (dialogs seam answering the engine's requests, shared widgets).
# daemon and daemonapp (jx_monitord) sit beside the GUI modules, on the engine.
GUI_MODULES = ("display", "config", "logging", "transfer", "views")
BELOW_GUI_MODULES = ("platform", "link", "describe", "model", "widgets", "notify", "monitor")
ALLOWED = {
    "platform": (),
    "link": ("platform",),
    "describe": ("platform", "link"),
    "model": ("platform", "link"),
    "notify": ("platform", "link", "model"),
    "monitor": ("platform", "link", "describe", "model", "notify"),
    "widgets": ("platform", "monitor"),
    **{module: BELOW_GUI_MODULES for module in GUI_MODULES},
    "core": BELOW_GUI_MODULES + GUI_MODULES + ("sim",),
    "app": BELOW_GUI_MODULES + GUI_MODULES + ("core",),
    # jx_monitord: Qt Core and Network on the Qt-free layers, no GUI module.
    "daemon": ("platform", "link", "describe", "model", "notify", "monitor"),
    "daemonapp": ("platform", "link", "describe", "model", "notify", "monitor", "daemon", "sim"),
}
# The simulator and zelk_dump link these, so they include no Qt header.
QT_FREE = ("platform", "link", "describe", "model")
# The headless monitor links these with Qt Core and Network only.
QT_CORE_ONLY = ("notify", "monitor", "daemon", "daemonapp")
QT_NON_GUI_MODULES = ("QtCore", "QtNetwork")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Qt\w*/)?(Q\w+|q\w+\.h)$")


def qt_include_dirs():
    """The include directories of the Qt modules without a screen, if installed."""
    for root in sorted(pathlib.Path("/usr/include").glob("*/qt6")) + [pathlib.Path("/usr/include/qt6")]:
        dirs = [root / module for module in QT_NON_GUI_MODULES if (root / module).is_dir()]
        if dirs:
            return dirs
    return []


def is_gui_header(header, core_dirs):
    """True for a Qt header of Qt GUI or Widgets (or any module but Core and Network)."""
    module, _, name = header.rpartition("/")
    if module:
        return module not in QT_NON_GUI_MODULES
    return bool(core_dirs) and not any((d / name).is_file() for d in core_dirs)


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
    errors = []
    core_dirs = qt_include_dirs()
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
                elif layer in QT_CORE_ONLY and QT_HEADER.match(header) and is_gui_header(header, core_dirs):
                    errors.append(f"{where}: {layer} is QtCore-only and must not include <{header}>")
                continue
            if target in (layer, "unlisted") or target in ALLOWED[layer]:
                continue  # an unlisted file is reported once, as itself
            allowed = ", ".join(ALLOWED[layer]) or "nothing"
            errors.append(f"{where}: {layer} must not include {header} ({target}); "
                          f"{layer} may include {allowed}")
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
