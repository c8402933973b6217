#!/usr/bin/python3
"""Checks every JSON object korvelctl printed in the suite against its schema.

usage: check_json_outputs.py DOCS_FOLDER OUTPUTS_FOLDER

A backup goes against backup.schema.json; a --json run against the output
schema and the $defs entry of its command. Every command must have printed
at least one object that succeeded, so no schema goes unchecked.
"""
import json
import pathlib
import sys

import jsonschema

docs, outputs = (pathlib.Path(a) for a in sys.argv[1:3])
output_schema = json.loads((docs / "korvelctl-output.schema.json").read_text())
backup_schema = json.loads((docs / "backup.schema.json").read_text())
validator = jsonschema.Draft202012Validator
for schema in (output_schema, backup_schema):
    validator.check_schema(schema)
# The output schema names the backup schema by its file name.
resolver = jsonschema.RefResolver.from_schema(
    output_schema, store={"backup.schema.json": backup_schema, backup_schema["$id"]: backup_schema})

# The commands whose output the suite must show; monitor prints JSON Lines.
commands = {name for name in output_schema["$defs"] if name not in
            ("error", "moduleName", "moduleList", "succeeded", "bits", "item", "items")}
succeeded, failures, checked = set(), [], 0
for path in sorted(outputs.glob("*.json")):
    text = path.read_text()
    if not text.strip():
        continue
    checked += 1
    try:
        document = json.loads(text)
    except json.JSONDecodeError as e:
        failures.append(f"{path.name}: not one JSON object: {e}: {text[:60]!r}")
        continue
    schemas = [backup_schema] if document.get("format") == "korvelctl-backup" else [output_schema]
    name = document.get("command", "").replace(" ", "-")
    if name in output_schema["$defs"]:
        schemas.append(dict(output_schema, **{"$ref": "#/$defs/" + name}))
        if document.get("exit") == 0:
            succeeded.add(name)
    for schema in schemas:
        for error in validator(schema, resolver=resolver).iter_errors(document):
            failures.append(f"{path.name} ({name or 'no command'}): {error.message} at "
                            f"{'/'.join(str(p) for p in error.absolute_path)}")

missing = sorted(commands - succeeded)
for f in failures:
    print(f)
if missing:
    print("no successful output of: " + ", ".join(missing))
print(f"{checked} outputs checked")
sys.exit(1 if failures or missing or checked == 0 else 0)
