#!/usr/bin/env node
// Reads a Jet file with mdb-reader and prints what it sees as JSON, in the value forms our own
// export uses, so that compare.mjs can check tarnwick-cli against it.
//
//   node read-mdb-reader.mjs FILE          -> {"tables": [...]}   (user tables, mdb-reader's order)
//   node read-mdb-reader.mjs FILE TABLE    -> {"columns": [{name, type, size}], "rows": [{...}]}
//
// Environment: MDB_PASSWORD, the database password if the file has one.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const pad = (n, width = 2) => String(n).padStart(width, "0");

// mdb-reader turns the stored day count into a JS Date as if the wall-clock time were UTC. Reading
// it back with the UTC getters therefore gives the time exactly as stored, whatever the machine's
// time zone; the local getters would shift it by the zone offset.
function formatDate(date) {
  const year = date.getUTCFullYear();
  const yearText = year >= 0 && year <= 9999 ? pad(year, 4) : (year < 0 ? "-" : "+") + pad(Math.abs(year), 6);
  let text =
    `${yearText}-${pad(date.getUTCMonth() + 1)}-${pad(date.getUTCDate())}` +
    `T${pad(date.getUTCHours())}:${pad(date.getUTCMinutes())}:${pad(date.getUTCSeconds())}`;
  const ms = date.getUTCMilliseconds();
  if (ms !== 0) text += `.${pad(ms, 3)}`;
  return text;
}

function normalise(value, type) {
  if (value === null || value === undefined) return null;
  switch (type) {
    case "datetime":
      return Number.isNaN(value.getTime()) ? "Invalid Date" : formatDate(value);
    case "binary":
    case "ole":
      return Buffer.from(value).toString("base64");
    // Currency and Decimal come back as exact decimal strings; our export prints numbers.
    case "currency":
    case "numeric":
      return Number(value);
    case "bigint":
      return Number(value);
    default:
      return value; // text, memo, repid: strings; byte..double: numbers; boolean: booleans
  }
}

function main(argv) {
  if (argv.length < 1 || argv.length > 2) {
    process.stderr.write("usage: read-mdb-reader.mjs FILE [TABLE]\n");
    return 2;
  }
  const [file, tableName] = argv;
  const password = process.env.MDB_PASSWORD;
  const reader = new MDBReader(readFileSync(file), password ? { password } : {});
  if (tableName === undefined) {
    process.stdout.write(JSON.stringify({ tables: reader.getTableNames() }) + "\n");
    return 0;
  }
  const table = reader.getTable(tableName);
  const columns = table.getColumns().map((c) => ({ name: c.name, type: c.type, size: c.size }));
  const rows = table.getData().map((row) => {
    const out = {};
    for (const c of columns) out[c.name] = normalise(row[c.name], c.type);
    return out;
  });
  process.stdout.write(JSON.stringify({ columns, rows }) + "\n");
  return 0;
}

try {
  process.exitCode = main(process.argv.slice(2));
} catch (err) {
  process.stderr.write(`read-mdb-reader: ${err.message}\n`);
  process.exitCode = 1;
}
