#!/usr/bin/python3
"""The include lines of the program's sources keep to the floors of the tree.

The floors, from the top: app/, then recovery/ and dialogs/ side by side,
then editctrl/, then tools/ (tools/regexp/ and tools/dlg/ with it); res/
holds only the ids the resource script and the code share and may be included
from every floor. An include goes down a floor or stays in its own folder;
app/ may include recovery/, recovery/ and dialogs/ never include each other.
No two modules (a .cpp with its .h) use each other, however many modules lie
between them: what a module's two files include is what it uses.

Usage: check_layers.py SOURCE_DIR. Prints every upward include and every
circle, and exits 1 when there is any.
"""

import os
import re
import sys

# What each folder may include besides itself.
ALLOWED = {
    "app": {"recovery", "dialogs", "editctrl", "tools", "res"},
    "recovery": {"editctrl", "tools", "res"},
    "dialogs": {"editctrl", "tools", "res"},
    "editctrl": {"tools", "res"},
    "tools": {"res"},
    "res": set(),
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(path):
    return path.split("/", 1)[0]


def program_files(root):
    files = []
    for floor in ALLOWED:
        base = os.path.join(root, floor)
        for folder, _, names in os.walk(base):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    files.append(os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/"))
    return sorted(files)


def includes_of(root, path):
    found = []
    with open(os.path.join(root, path), encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if match:
                found.append((number, match.group(1)))
    return found


def upward_includes(graph):
    problems = []
    for path, edges in sorted(graph.items()):
        here = floor_of(path)
        for number, target in edges:
            there = floor_of(target)
            if there != here and there not in ALLOWED[here]:
                problems.append(f"{path}:{number}: includes {target}, a floor it may not reach ({here} -> {there})")
    return problems


def module_of(path):
    return path.rsplit(".", 1)[0]


def circles(graph):
    """The groups of modules that use each other in a circle (the strongly
    connected components of more than one module), each with one circle of it."""
    uses = {}
    for path, edges in graph.items():
        here = module_of(path)
        targets = uses.setdefault(here, set())
        targets.update(module_of(target) for _, target in edges if target in graph and module_of(target) != here)
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(module):
        index[module] = low[module] = len(index)
        stack.append(module)
        on_stack.add(module)
        for target in sorted(uses[module]):
            if target not in index:
                visit(target)
                low[module] = min(low[module], low[target])
            elif target in on_stack:
                low[module] = min(low[module], index[target])
        if low[module] == index[module]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == module:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for module in sorted(uses):
        if module not in index:
            visit(module)
    return [f"modules in a circle: {' -> '.join(one_circle(group, uses))}" for group in groups]


def one_circle(group, uses):
    """The shortest circle through the group's first module, inside the group."""
    members = set(group)
    start = group[0]
    came_from = {start: None}
    queue = [start]
    while queue:
        here = queue.pop(0)
        for target in sorted(uses[here]):
            if target == start:
                path = [here]
                while came_from[path[-1]] is not None:
                    path.append(came_from[path[-1]])
                return list(reversed(path)) + [start]
            if target in members and target not in came_from:
                came_from[target] = here
                queue.append(target)
    return group


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    root = sys.argv[1]
    graph = {path: includes_of(root, path) for path in program_files(root)}
    missing = [f"{path}:{number}: includes {target}, which is no file of the tree"
               for path, edges in sorted(graph.items()) for number, target in edges
               if floor_of(target) in ALLOWED and target not in graph]
    problems = upward_includes(graph) + circles(graph) + missing
    for problem in problems:
        print(problem)
    print(f"layers: {len(graph)} files, {sum(len(e) for e in graph.values())} includes, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
