#!/usr/bin/python3
"""check-report.py SCHEMA REPORT [RESULT...]: validates a kiln export report
against its JSON schema (python3-jsonschema), checks that every file it lists
has the size it gives, and that the exports ended with the RESULTs given."""
import json
import os
import sys

import jsonschema

schema, report = (json.load(open(path)) for path in sys.argv[1:3])
jsonschema.Draft202012Validator.check_schema(schema)
jsonschema.validate(report, schema, cls=jsonschema.Draft202012Validator)
for entry in report["exports"]:
    for f in entry.get("files", []):
        assert os.path.getsize(f["path"]) == f["size"], f
    if entry["result"].startswith("exported"):
        assert entry["chunks"]["animation range"] == 1, entry
        assert entry["files"][0]["path"] == entry["output"], entry
results = [entry["result"] for entry in report["exports"]]
assert results == sys.argv[3:], results
print("ok: the report follows the schema:", ", ".join(results))
