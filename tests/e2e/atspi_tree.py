"""What a screen reader sees of one program, run on the test's session bus (pyatspi finds the
accessibility bus through it): prints the program's accessible objects as JSON lines
[depth, role, name, text], in tree order."""

import json
import sys

import pyatspi


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def walk(node, depth=0):
    if node is None or depth > 60:
        return
    yield depth, node
    for child in node:
        yield from walk(child, depth + 1)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def main():
    app = application(int(sys.argv[1]))
    for depth, node in walk(app) if app is not None else []:
        print(json.dumps([depth, node.getRoleName(), node.name, text_of(node)], ensure_ascii=False))


main()
