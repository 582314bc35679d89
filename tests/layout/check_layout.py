#!/usr/bin/env python3
"""Checks that the code keeps the layout the README draws.

    check_layout.py graph SOURCE_DIR CMAKE [CXX_COMPILER]   the library graph CMake writes (--graphviz)
    check_layout.py includes SOURCE_DIR                     the includes between folders

graph: configures the tree in a scratch folder with `cmake --graphviz` and fails on any cycle between the
project's libraries and on any library reaching (directly or through others) what it must not:
  - a platform/ library reaching a library of a subsystem folder, or a platform/ library above its own
    (core <- gdi <- ui <- print);
  - the model and the display-free libraries (maze, image, tiles, online) reaching Qt Widgets, and image
    reaching Qt Gui;
  - the view or online reaching the application.
includes: the same rules for the quoted includes of every source file, which the link graph cannot see
(a header-only include needs no link).
"""
import os
import re
import subprocess
import sys
import tempfile

PLATFORM_ROOMS = ["core", "gdi", "ui", "print"]
SUBSYSTEM_FOLDERS = ["resources", "image", "maze", "tiles", "online", "view", "app"]
# Libraries that must not reach a Qt module, directly or through the libraries they link.
NO_QT_MODULE = {
    "vantrel_maze": ["Qt6::Widgets"],
    "vantrel_image": ["Qt6::Gui", "Qt6::Widgets"],
    "vantrel_tiles": ["Qt6::Widgets"],
    "vantrel_online": ["Qt6::Gui", "Qt6::Widgets"],
}
# Libraries (by name prefix) that must not reach the application.
NOT_TO_APP = ["vantrel_view", "vantrel_online"]


# ---- The library graph -------------------------------------------------------------------------------

def read_graph(dot_path):
    """Nodes (id -> (label, shape)) and edges (id -> set of ids) of a CMake graphviz file."""
    nodes, edges = {}, {}
    node_re = re.compile(r'\s*"(node\d+)" \[ label = "([^"]+)", shape = (\w+)')
    edge_re = re.compile(r'\s*"(node\d+)" -> "(node\d+)"')
    with open(dot_path) as f:
        for line in f:
            m = node_re.match(line)
            if m:
                nodes[m[1]] = (m[2], m[3])
                continue
            m = edge_re.match(line)
            if m:
                edges.setdefault(m[1], set()).add(m[2])
    graph = {}
    for node, (label, _) in nodes.items():
        graph.setdefault(label, set()).update(nodes[t][0] for t in edges.get(node, ()))
    kinds = {label: shape for label, shape in nodes.values()}
    return graph, kinds


def project_libraries(graph, kinds):
    # Executables are eggs; object libraries (hexagons) are what qt_add_resources makes for a library.
    return sorted(n for n in graph if n.startswith("vantrel_") and kinds[n] not in ("egg", "hexagon"))


def reach(graph, start):
    seen, todo = set(), [start]
    while todo:
        for nxt in graph.get(todo.pop(), ()):
            if nxt not in seen:
                seen.add(nxt)
                todo.append(nxt)
    return seen


def cycles(graph, libs):
    """Each cycle between project libraries once, as a list of names."""
    found, index, low, stack, on_stack, counter = [], {}, {}, [], set(), [0]
    libset = set(libs)

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in libset:
                continue
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1 or v in graph.get(v, ()):
                found.append(sorted(component))

    for lib in libs:
        if lib not in index:
            visit(lib)
    return found


def platform_rank(lib):
    for rank, room in enumerate(PLATFORM_ROOMS):
        if lib == "vantrel_platform_" + room:
            return rank
    return None


def graph_problems(graph, kinds):
    libs = project_libraries(graph, kinds)
    problems = []
    for cycle in cycles(graph, libs):
        problems.append("cycle between " + ", ".join(cycle))
    for lib in libs:
        reached = reach(graph, lib)
        if lib.startswith("vantrel_platform_"):
            rank = platform_rank(lib)
            for other in sorted(reached & set(libs)):
                if not other.startswith("vantrel_platform_"):
                    problems.append(f"{lib} (platform/) reaches {other}, a subsystem library")
                elif rank is not None and (platform_rank(other) or 0) > rank:
                    problems.append(f"{lib} reaches {other}, a layer above it")
        for module in NO_QT_MODULE.get(lib, []):
            if module in reached:
                problems.append(f"{lib} reaches {module}")
        if any(lib.startswith(p) for p in NOT_TO_APP) and "vantrel_app" in reached:
            problems.append(f"{lib} reaches vantrel_app")
    # The rules above name these libraries: they must still exist to be checked.
    for lib in list(NO_QT_MODULE) + ["vantrel_app", "vantrel_view"] + \
            ["vantrel_platform_" + r for r in PLATFORM_ROOMS]:
        if lib not in libs:
            problems.append(f"no library {lib} in the graph")
    return libs, problems


def check_graph(source_dir, cmake, compiler=None):
    with tempfile.TemporaryDirectory(prefix="vantrel-layout-") as scratch:
        dot = os.path.join(scratch, "libraries.dot")
        command = [cmake, "-S", source_dir, "-B", scratch, "--graphviz=" + dot,
                   "-DVANTREL_TESTS=OFF", "-DVANTREL_BENCH=OFF"]
        if compiler:
            command.append("-DCMAKE_CXX_COMPILER=" + compiler)
        run = subprocess.run(command, capture_output=True, text=True)
        if run.returncode != 0 or not os.path.exists(dot):
            print(run.stdout[-3000:], run.stderr[-3000:])
            print("cmake could not write the library graph")
            return 1
        graph, kinds = read_graph(dot)
    libs, problems = graph_problems(graph, kinds)
    print(f"{len(libs)} libraries:")
    for lib in libs:
        below = sorted(n for n in graph.get(lib, ()) if n in libs)
        print(f"  {lib} -> {' '.join(below) if below else '(none)'}")
    for p in problems:
        print("LAYOUT: " + p)
    return 1 if problems else 0


# ---- Includes ------------------------------------------------------------------------------------------

INCLUDE_RE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def folder_of(path):
    """The folder a rooted path belongs to for these rules: platform/<room>, maze/setup, online/pane, or
    the first component."""
    parts = path.split("/")
    if parts[0] == "platform" and len(parts) > 2:
        return "platform/" + parts[1]
    if parts[:2] in (["maze", "setup"], ["online", "pane"]) and len(parts) > 2:
        return "/".join(parts[:2])
    return parts[0]


def include_problem(src_folder, inc_folder):
    if src_folder.startswith("platform/"):
        if not inc_folder.startswith("platform/"):
            if inc_folder in SUBSYSTEM_FOLDERS or inc_folder in ("maze/setup", "online/pane", "tests"):
                return "platform/ includes a subsystem folder"
            return None
        room, other = src_folder.split("/")[1], inc_folder.split("/")[1]
        if room in PLATFORM_ROOMS and other in PLATFORM_ROOMS and \
                PLATFORM_ROOMS.index(other) > PLATFORM_ROOMS.index(room):
            return "a platform/ layer includes one above it"
        return None
    if src_folder in ("view", "online", "online/pane") and inc_folder == "app":
        return f"{src_folder}/ includes app/"
    if src_folder in ("maze", "image", "tiles", "online", "resources") and \
            inc_folder in ("platform/ui", "platform/print", "maze/setup", "online/pane", "view", "app"):
        return f"{src_folder}/ includes the window layer"
    return None


def check_includes(source_dir):
    problems = []
    roots = ["platform"] + SUBSYSTEM_FOLDERS
    count = 0
    for root in roots:
        for dirpath, _, files in os.walk(os.path.join(source_dir, root)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), source_dir)
                count += 1
                with open(os.path.join(dirpath, name), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                src = folder_of(path)
                for inc in INCLUDE_RE.findall(text):
                    if "/" not in inc:
                        continue
                    why = include_problem(src, folder_of(inc))
                    if why:
                        problems.append(f"{path} includes {inc}: {why}")
    print(f"{count} source files read")
    for p in problems:
        print("LAYOUT: " + p)
    return 1 if problems else 0


def main(argv):
    if len(argv) >= 4 and argv[1] == "graph":
        return check_graph(argv[2], argv[3], argv[4] if len(argv) > 4 else None)
    if len(argv) == 3 and argv[1] == "includes":
        return check_includes(argv[2])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
