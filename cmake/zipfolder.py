"""zipfolder.py PARENT FOLDER ZIP: FOLDER (in PARENT) as a zip whose bytes depend on its files'
names and contents alone: names in order, every time SOURCE_DATE_EPOCH's (or 1980's), no owner,
no permissions but read and write."""
import os
import sys
import time
import zipfile

parent, folder, output = sys.argv[1:4]
stamp = time.gmtime(max(int(os.environ.get("SOURCE_DATE_EPOCH", "0")), 315532800))[:6]
names = sorted(os.path.relpath(os.path.join(root, name), parent)
               for root, _, files in os.walk(os.path.join(parent, folder)) for name in files)
with zipfile.ZipFile(output, "w") as archive:
    for name in names:
        entry = zipfile.ZipInfo(name.replace(os.sep, "/"), stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 0   # made on "MS-DOS": no Unix owner or mode
        entry.external_attr = 0
        with open(os.path.join(parent, name), "rb") as data:
            archive.writestr(entry, data.read(), compresslevel=9)
