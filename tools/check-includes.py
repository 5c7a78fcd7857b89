#!/usr/bin/python3
"""Fail when two folders of platform/ include each other, directly or round a longer cycle.

A folder is the path below platform/ up to the file (platform/net/tls is its own folder). The graph
is built from the `#include "platform/..."` lines of every .h and .cpp under platform/; every group
of folders tied by a cycle is printed with one include line for each step inside it, so a reader
sees where to cut.
Usage: tools/check-includes.py [repository root]   (exit 0 clean, 1 cycles, 2 usage)
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"(platform/[^"]+)"')


def folder_of(path):
    return os.path.dirname(path)[len("platform/"):] or "."


def read_edges(root):
    """Maps (from folder, to folder) to the first 'file:line' that makes that step."""
    edges = {}
    for base, _, files in os.walk(os.path.join(root, "platform")):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(base, name), root)
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    here, there = folder_of(path), folder_of(match.group(1))
                    if here != there:
                        edges.setdefault((here, there), f"{path}:{number} includes {match.group(1)}")
    return edges


def strong_components(nodes, successors):
    """Tarjan's algorithm, iterative so deep graphs cannot overflow the stack."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    for start in sorted(nodes):
        if start in index:
            continue
        work = [(start, iter(sorted(successors.get(start, ()))))]
        index[start] = low[start] = len(index)
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = len(index)
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(successors.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return found


def main(argv):
    if len(argv) > 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    root = argv[1] if len(argv) == 2 else os.path.join(os.path.dirname(__file__), "..")
    edges = read_edges(root)
    successors = {}
    for here, there in edges:
        successors.setdefault(here, set()).add(there)
    nodes = set(successors) | {there for _, there in edges}
    cycles = strong_components(nodes, successors)
    for component in cycles:
        print("include cycle in platform/ between " + ", ".join(component) + ":")
        for (here, there), where in sorted(edges.items()):
            if here in component and there in component:
                print(f"  {here} -> {there}: {where}")
    return 1 if cycles else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
