"""Private links for the demo pages, made by `nivra-tool link encode` (or, when the tool is not
built, by the small encoder in demo_link_cipher).

A link depends only on its record text, so encoded links are kept in a small JSON file in the
cache folder and a second start runs the tool only for records it has not seen.
"""

import json
import os
import shutil
import subprocess
import sys

import demo_link_cipher

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


def find_tool(explicit=None):
    """The nivra-tool to use: the given path, $NIVRA_TOOL, the build tree's, then $PATH."""
    for candidate in (explicit, os.environ.get("NIVRA_TOOL"),
                      os.path.join(REPO, "build", "bin", "nivra-tool")):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return shutil.which("nivra-tool")


class LinkEncoder:
    def __init__(self, tool, cache_file):
        if not tool:
            sys.stderr.write("demo links: nivra-tool was not found; encoding links here\n")
        self.tool = tool
        self.cache_file = cache_file
        self._known = {}
        self._dirty = False
        try:
            with open(cache_file, encoding="utf-8") as f:
                self._known = json.load(f)
        except (OSError, ValueError):
            pass

    def link(self, kind, name, address, size=0):
        """The private link of the record kind|name|size|address."""
        record = "%s|%s|%d|%s" % (kind, name, size, address)
        if record not in self._known:
            if self.tool:
                out = subprocess.run([self.tool, "link", "encode", record], capture_output=True,
                                     text=True, check=True, timeout=30)
                self._known[record] = out.stdout.strip()
            else:
                self._known[record] = demo_link_cipher.encode_link(record)
            self._dirty = True
        return self._known[record]

    def save(self):
        if not self._dirty:
            return
        temp = self.cache_file + ".part"
        with open(temp, "w", encoding="utf-8") as f:
            json.dump(self._known, f, ensure_ascii=False, indent=0)
        os.replace(temp, self.cache_file)
        self._dirty = False
