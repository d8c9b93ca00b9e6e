#!/usr/bin/env node
// Times mdb-reader reading every row of one table, inside the process (excluding Node's own
// start-up), best of N runs. Prints the milliseconds.
//   node mdb_reader_read.mjs FILE TABLE [RUNS]
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

// mdb-reader is installed for the interop tests; use that copy.
const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, "../tests/interop/package.json"));
const { default: MDBReader } = await import(pathToFileURL(require.resolve("mdb-reader")).href);

const [file, table, runsText] = process.argv.slice(2);
const runs = Number(runsText ?? 5);
let best = Infinity;
let count = 0;
for (let i = 0; i < runs; ++i) {
  const start = process.hrtime.bigint();
  const reader = new MDBReader(readFileSync(file));
  const rows = reader.getTable(table).getData();
  count = rows.length;
  best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e6);
}
console.log(`${best.toFixed(2)} ${count}`);
