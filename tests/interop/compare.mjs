#!/usr/bin/env node
// Checks tarnwick-cli's reading of one Jet file against two independent readers, mdbtools and
// mdb-reader, run on the same file at test time: the table list, and every row and value of every
// table. Works on any .mdb file, fixtures and files our own writer produced alike.
//
//   node compare.mjs [options] FILE
//     --cli PATH            tarnwick-cli to test (default: $TARNWICK_CLI)
//     --expect-file JSON    also check both readers against known contents, given as
//                           {"tables": [...], "data": {"TABLE": [{column: value}, ...]}}
//                           in tarnwick-cli's JSON forms ("data" may name only some tables)
//     --unordered TABLE     compare TABLE's rows as a multiset (repeatable)
//     --oracles-only        only run the two readers, compare them with each other, print counts
//     --max-report N        mismatch lines printed per comparison (default 20)
//
// Exit status: 0 when everything matches, 1 on any mismatch or when a reader fails, 2 on usage.
// Differences between the two readers themselves are printed as notes and do not fail the run.
import { spawnSync } from "node:child_process";
import { existsSync, readFileSync, realpathSync } from "node:fs";
import { basename, dirname, join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const HERE = dirname(fileURLToPath(import.meta.url));
const MS_PER_DAY = 86_400_000;
// Day 0 of the stored day count, 1899-12-30, as a wall-clock time read as UTC.
const JET_EPOCH_MS = Date.UTC(1899, 11, 30);
// mdbtools cannot convert day counts below 0 or above 1 000 000 (4637-11-26); for those it
// formats an all-zero calendar time, which comes out of our date format as this text.
const MDBTOOLS_LAST_DATE_MS = JET_EPOCH_MS + 1_000_000 * MS_PER_DAY;
const MDBTOOLS_NO_DATE_TEXT = "1900-01-00T00:00:00";
export const MDBTOOLS_NO_DATE = Symbol("mdbtools printed no date");

// Tables whose row order the two readers cannot tell us. overflowTestV2000.mdb holds rows that
// were updated in place and no longer fitted: their original slot now carries only a pointer to
// a copy stored elsewhere. mdbtools and mdb-reader skip the pointer slot and return the copy
// where it physically lies; we follow the pointer (as Jackcess does) and return the row in its
// original position. Both orders hold the same rows, so the table is compared as a multiset.
const UNORDERED_BY_FILE = new Map([["overflowTestV2000.mdb", ["Table1"]]]);

// ---------------------------------------------------------------------------------------------
// Running programs

function run(cmd, args) {
  const res = spawnSync(cmd, args, { maxBuffer: 1 << 30, encoding: "buffer" });
  if (res.error) throw new Error(`cannot run ${cmd}: ${res.error.message}`);
  const stdout = res.stdout.toString("utf8");
  const stderr = res.stderr.toString("utf8");
  if (res.status !== 0) {
    const why = res.signal ? `signal ${res.signal}` : `exit ${res.status}`;
    throw new Error(`${cmd} ${args.join(" ")} failed (${why}): ${stderr.trim().slice(0, 2000)}`);
  }
  return { status: res.status, stdout, stderr };
}

// ---------------------------------------------------------------------------------------------
// Parsers

// CSV as mdb-export writes it: comma-separated, '"' quotes with doubling, '\n' between records,
// newlines allowed inside quotes. Keeps whether each field was quoted, because mdb-export quotes
// text-like values (so `""` is an empty text) and leaves a null as an empty unquoted field.
export function parseCsv(text) {
  const records = [];
  let record = [];
  let i = 0;
  const n = text.length;
  if (n === 0) return records;
  for (;;) {
    let value = "";
    let quoted = false;
    if (text[i] === '"') {
      quoted = true;
      i++;
      for (;;) {
        const q = text.indexOf('"', i);
        if (q < 0) throw new Error("CSV: unterminated quoted field");
        value += text.slice(i, q);
        i = q + 1;
        if (text[i] === '"') {
          value += '"';
          i++;
        } else break;
      }
    } else {
      let j = i;
      while (j < n && text[j] !== "," && text[j] !== "\n") j++;
      value = text.slice(i, j);
      i = j;
    }
    record.push({ value, quoted });
    if (i >= n) {
      records.push(record);
      return records;
    }
    const sep = text[i++];
    if (sep === "\n") {
      records.push(record);
      record = [];
      if (i >= n) return records;
    } else if (sep !== ",") {
      throw new Error(`CSV: unexpected ${JSON.stringify(sep)} after a quoted field`);
    }
  }
}

// JSON whose objects keep their keys in document order (JSON.parse would move integer-like keys
// to the front, and column order is part of what we check). Objects become OrderedObject.
export class OrderedObject {
  constructor(entries) {
    this.entries = entries;
  }
  keys() {
    return this.entries.map(([k]) => k);
  }
  get(key) {
    const e = this.entries.find(([k]) => k === key);
    return e ? e[1] : undefined;
  }
}

export function parseJsonOrdered(text) {
  let i = 0;
  const fail = (what) => {
    throw new Error(`JSON: ${what} at offset ${i}`);
  };
  const ws = () => {
    while (i < text.length && " \t\r\n".includes(text[i])) i++;
  };
  const string = () => {
    const start = i++;
    while (i < text.length && text[i] !== '"') i += text[i] === "\\" ? 2 : 1;
    if (i >= text.length) fail("unterminated string");
    i++;
    return JSON.parse(text.slice(start, i));
  };
  const value = () => {
    ws();
    const c = text[i];
    if (c === "{") {
      i++;
      const entries = [];
      ws();
      if (text[i] === "}") {
        i++;
        return new OrderedObject(entries);
      }
      for (;;) {
        ws();
        if (text[i] !== '"') fail("expected a key");
        const key = string();
        ws();
        if (text[i++] !== ":") fail("expected ':'");
        entries.push([key, value()]);
        ws();
        const sep = text[i++];
        if (sep === "}") return new OrderedObject(entries);
        if (sep !== ",") fail("expected ',' or '}'");
      }
    }
    if (c === "[") {
      i++;
      const items = [];
      ws();
      if (text[i] === "]") {
        i++;
        return items;
      }
      for (;;) {
        items.push(value());
        ws();
        const sep = text[i++];
        if (sep === "]") return items;
        if (sep !== ",") fail("expected ',' or ']'");
      }
    }
    if (c === '"') return string();
    const m = /^(?:-?(?:0|[1-9]\d*)(?:\.\d+)?(?:[eE][+-]?\d+)?|true|false|null)/.exec(text.slice(i, i + 400));
    if (!m) fail("unexpected character");
    i += m[0].length;
    return JSON.parse(m[0]);
  };
  const result = value();
  ws();
  if (i !== text.length) fail("trailing characters");
  return result;
}

// ISO local date-time -> milliseconds of that wall-clock time read as UTC, or null if malformed
// or not a real calendar time. Strict mode is what our export promises: ".mmm" only when the
// milliseconds are not zero.
export function parseIsoLocal(text, { strict = false } = {}) {
  const m = /^([+-]\d{6}|\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(?:\.(\d{3}))?$/.exec(text);
  if (!m) return null;
  if (strict && m[7] === "000") return null;
  const [year, month, day, hour, minute, second] = m.slice(1, 7).map(Number);
  const d = new Date(0);
  d.setUTCFullYear(year, month - 1, day);
  d.setUTCHours(hour, minute, second, m[7] ? Number(m[7]) : 0);
  const real = d.getUTCFullYear() === year && d.getUTCMonth() === month - 1 && d.getUTCDate() === day &&
    d.getUTCHours() === hour && d.getUTCMinutes() === minute && d.getUTCSeconds() === second;
  return real ? d.getTime() : null;
}

function formatMs(ms) {
  const d = new Date(ms);
  return Number.isNaN(d.getTime()) ? String(ms) : d.toISOString().replace("Z", "").replace(".000", "");
}

// ---------------------------------------------------------------------------------------------
// Column kinds and canonical values
//
// Every reader's table is brought to {columns: [{name, kind, type}], rows: [[value, ...]]} with
// values in one canonical form per kind:
//   text: string | number: number | boolean: boolean | datetime: ms (wall clock as UTC)
//   binary: Buffer | guid: upper-case hex without braces | other: string | null: null

const NUMBER_KINDS = new Set(["byte", "integer", "long", "currency", "single", "double", "decimal", "bigint"]);

function kindOf(type) {
  if (NUMBER_KINDS.has(type)) return "number";
  if (type === "text" || type === "memo") return "text";
  if (type === "binary" || type === "ole") return "binary";
  if (type === "boolean" || type === "datetime" || type === "guid") return type;
  return "other";
}

// mdb-reader's type names -> ours (shared with mdbtools' names below).
const MDB_READER_TYPES = {
  boolean: "boolean", byte: "byte", integer: "integer", long: "long", currency: "currency",
  float: "single", double: "double", datetime: "datetime", binary: "binary", text: "text",
  ole: "ole", memo: "memo", repid: "guid", numeric: "decimal", bigint: "bigint",
};

// mdb-schema's type names (its "access" output) -> ours.
const MDBTOOLS_TYPES = {
  "Boolean": "boolean", "Byte": "byte", "Integer": "integer", "Long Integer": "long",
  "Currency": "currency", "Single": "single", "Double": "double", "DateTime": "datetime",
  "Binary": "binary", "Text": "text", "OLE": "ole", "Memo/Hyperlink": "memo",
  "Replication ID": "guid", "Numeric": "decimal",
};

const normGuid = (s) => s.replace(/[{}]/g, "").toUpperCase();

// A value in tarnwick-cli's JSON forms (also the --expect-file forms) -> canonical, or
// {error} when the JSON type is not the one our export promises for that kind of column.
export function fromContract(v, kind) {
  if (v === null) return null;
  const bad = (what) => ({ error: `expected ${what}, got ${JSON.stringify(v)}` });
  switch (kind) {
    case "text":
    case "other":
      return typeof v === "string" ? v : bad("a string");
    case "number":
      return typeof v === "number" ? v : bad("a number");
    case "boolean":
      return typeof v === "boolean" ? v : bad("true/false");
    case "datetime": {
      const ms = typeof v === "string" ? parseIsoLocal(v, { strict: true }) : null;
      return ms === null ? bad("YYYY-MM-DDTHH:MM:SS[.mmm]") : ms;
    }
    case "binary":
      return typeof v === "string" && /^[A-Za-z0-9+/]*={0,2}$/.test(v) && v.length % 4 === 0
        ? Buffer.from(v, "base64")
        : bad("base64");
    case "guid":
      return typeof v === "string" ? normGuid(v) : bad("a GUID string");
  }
  return bad("?");
}

// One mdb-export field -> canonical, given the column's type from mdb-schema.
export function fromMdbExport(field, type) {
  const kind = kindOf(type);
  if (!field.quoted && field.value === "") return null;
  const v = field.value;
  switch (kind) {
    case "text":
    case "other":
      return v;
    case "number":
      return Number(v);
    // mdb-export writes Booleans as 0 and 1.
    case "boolean":
      return v === "1" ? true : v === "0" ? false : { error: `Boolean printed as ${v}` };
    case "datetime":
      if (v === MDBTOOLS_NO_DATE_TEXT) return MDBTOOLS_NO_DATE;
      return parseIsoLocal(v) ?? { error: `date printed as ${v}` };
    case "binary":
      return Buffer.from(v, "hex");
    case "guid":
      return normGuid(v);
  }
  return v;
}

// Before 1899-12-30 a stored date is a negative day count with the time of day added away from
// zero: -1.25 is 1899-12-29 06:00. mdb-reader converts the number linearly instead (-1.25 ->
// 1899-12-28 18:00). Its answer still determines the stored number, so recover the stored day
// count from it and read that the right way. Returns [ms, day count] or null if not affected.
export function correctMdbReaderDate(ms) {
  if (ms >= JET_EPOCH_MS) return null;
  const fromEpoch = ms - JET_EPOCH_MS;
  const days = Math.trunc(fromEpoch / MS_PER_DAY);
  const timeOfDay = days * MS_PER_DAY - fromEpoch;
  return [JET_EPOCH_MS + days * MS_PER_DAY + timeOfDay, fromEpoch / MS_PER_DAY];
}

function fromMdbReader(v, type, notes) {
  const kind = kindOf(type);
  if (v === null) return null;
  if (kind === "binary") return Buffer.from(v, "base64");
  if (kind === "guid") return normGuid(v);
  if (kind === "datetime") {
    const ms = parseIsoLocal(v);
    if (ms === null) return { error: `date printed as ${v}` };
    const corrected = correctMdbReaderDate(ms);
    if (corrected === null) return ms;
    if (corrected[0] !== ms) {
      notes.push(`mdb-reader read day count ${corrected[1]} linearly as ${v}; compared as ${formatMs(corrected[0])}`);
    }
    return corrected[0];
  }
  return v;
}

// ---------------------------------------------------------------------------------------------
// Readers

function readMdbtools(file) {
  const tables = run("mdb-tables", ["-1", file]).stdout.split("\n").filter((t) => t !== "");
  const readTable = (table) => {
    const schema = run("mdb-schema", [
      "-T", table, "--no-indexes", "--no-relations", "--no-not-null", "--no-default-values",
      "--no-comments", file, "access",
    ]).stdout;
    const columns = [];
    for (const line of schema.split("\n")) {
      const m = /^\t\[(.*)\]\t+(.*?)(?:,\s*)?$/.exec(line);
      if (!m) continue;
      const typeName = m[2].replace(/\s*\(.*$/, "");
      const type = MDBTOOLS_TYPES[typeName] ?? `mdbtools:${typeName}`;
      columns.push({ name: m[1], type, kind: kindOf(type) });
    }
    const csv = run("mdb-export", [
      "-D", "%Y-%m-%dT%H:%M:%S", "-T", "%Y-%m-%dT%H:%M:%S", "-b", "hex", "-q", '"', file, table,
    ]).stdout;
    const [header = [], ...records] = parseCsv(csv);
    const headerNames = header.map((f) => f.value);
    if (headerNames.join("\u0000") !== columns.map((c) => c.name).join("\u0000")) {
      throw new Error(`mdb-schema and mdb-export list different columns for ${table}: ` +
        `${JSON.stringify(columns.map((c) => c.name))} vs ${JSON.stringify(headerNames)}`);
    }
    const rows = records.map((rec, r) => {
      if (rec.length !== columns.length) {
        throw new Error(`mdb-export row ${r} of ${table} has ${rec.length} fields, expected ${columns.length}`);
      }
      return rec.map((f, c) => fromMdbExport(f, columns[c].type));
    });
    return { columns, rows };
  };
  return { tables, readTable };
}

function readMdbReader(file) {
  const script = join(HERE, "read-mdb-reader.mjs");
  const tables = JSON.parse(run(process.execPath, [script, file]).stdout).tables;
  const readTable = (table) => {
    const out = JSON.parse(run(process.execPath, [script, file, table]).stdout);
    const columns = out.columns.map((c) => {
      const type = MDB_READER_TYPES[c.type] ?? `mdb-reader:${c.type}`;
      return { name: c.name, type, kind: kindOf(type) };
    });
    const notes = [];
    const rows = out.rows.map((row) =>
      columns.map((c) => fromMdbReader(row[c.name], c.type, notes)));
    return { columns, rows, notes };
  };
  return { tables, readTable };
}

// Ours (and --expect-file): rows are OrderedObjects keyed by column name, not typed; they are
// converted with the kinds the oracle they are compared with reports.
function readOurs(cli, file) {
  const tables = run(cli, ["tables", file]).stdout.split("\n").filter((t) => t !== "");
  const readTable = (table) => {
    const out = parseJsonOrdered(run(cli, ["export", file, table, "--format", "json"]).stdout);
    if (!Array.isArray(out)) throw new Error(`export of ${table} is not a JSON array`);
    return out;
  };
  return { tables, readTable };
}

function readExpectFile(path) {
  const data = parseJsonOrdered(readFileSync(path, "utf8"));
  const tables = data.get("tables");
  const rows = data.get("data") ?? new OrderedObject([]);
  return {
    tables: Array.isArray(tables) ? tables : null,
    readTable: (t) => rows.get(t) ?? null,
  };
}

// ---------------------------------------------------------------------------------------------
// Comparing

function show(v, kind) {
  if (Buffer.isBuffer(v)) return `<${v.length} bytes ${v.toString("hex").slice(0, 32)}…>`;
  if (v === MDBTOOLS_NO_DATE) return "(no date)";
  if (kind === "datetime" && typeof v === "number") return formatMs(v);
  return JSON.stringify(v);
}

// Compares two canonical values of one column: `expected` as the reference reader `oracle` gives
// it, `actual` from the source under test. Returns null when they match, {known: why} for a
// documented difference between readers, or {diff: true}.
export function compareValue(column, expected, actual, oracle) {
  if (expected?.error || actual?.error) return { diff: true };
  const { kind, type } = column;
  if (kind === "datetime") {
    // mdbtools cannot print day counts below 0 or above 1 000 000: accept its "no date" only
    // where the other side's date falls in those ranges.
    if (expected === MDBTOOLS_NO_DATE) {
      if (typeof actual === "number" && (actual < JET_EPOCH_MS || actual > MDBTOOLS_LAST_DATE_MS)) {
        return { known: `mdbtools prints no date for ${formatMs(actual)} (outside 1899-12-30..4637-11-26)` };
      }
      return { diff: true };
    }
    if (expected === null || actual === null) return expected === actual ? null : { diff: true };
    return Math.abs(expected - actual) <= 1000 ? null : { diff: true };
  }
  if (kind === "text" && oracle === "mdbtools") {
    // mdb-export prints an empty text exactly as it prints a null: nothing at all.
    if (expected === null && actual === "") {
      return { known: "mdbtools prints an empty text like a null" };
    }
    // mdbtools converts stored UCS-2 unit by unit, so a character beyond U+FFFF (two
    // surrogate units) comes out as two question marks.
    if (typeof expected === "string" && typeof actual === "string" && expected !== actual &&
        expected === actual.replace(/[\u{10000}-\u{10FFFF}]/gu, "??")) {
      return { known: "mdbtools prints a character beyond U+FFFF as two question marks" };
    }
  }
  if (expected === null || actual === null) return expected === actual ? null : { diff: true };
  switch (kind) {
    case "number": {
      if (expected === actual) return null;
      const scale = Math.max(Math.abs(expected), Math.abs(actual));
      // mdbtools prints floating-point values with a limited number of significant digits;
      // mdb-reader hands over the stored value exactly.
      if (type === "single") {
        if (Math.fround(expected) === Math.fround(actual)) return null;
        if (oracle === "mdbtools" && Math.abs(expected - actual) <= 1e-6 * scale) return null;
      } else if (type === "double" && oracle === "mdbtools") {
        if (Math.abs(expected - actual) <= 1e-14 * scale) return null;
      }
      return { diff: true };
    }
    case "binary":
      return expected.equals(actual) ? null : { diff: true };
    default:
      return expected === actual ? null : { diff: true };
  }
}

function describe(value) {
  return value?.error ? `(${value.error})` : null;
}

// Compares a table as read by `oracle` (canonical) with `other`: rows in our JSON forms from the
// source named `source`, or, with otherCanonical, another oracle's canonical table.
// Returns {mismatches: [...], notes: [...]}.
function compareTable(ref, oracle, other, source, { unordered, otherCanonical = false, maxReport }) {
  const mismatches = [];
  const notes = [];
  const { columns } = ref;
  const report = (line) => {
    if (mismatches.length < maxReport) mismatches.push(line);
    else if (mismatches.length === maxReport) mismatches.push("… further mismatches not shown");
  };
  let rows;
  if (otherCanonical) {
    const names = other.columns.map((c) => c.name);
    if (names.join("\u0000") !== columns.map((c) => c.name).join("\u0000")) {
      mismatches.push(`columns: ${oracle} ${JSON.stringify(columns.map((c) => c.name))}, ${source} ${JSON.stringify(names)}`);
      return { mismatches, notes };
    }
    other.columns.forEach((c, i) => {
      if (c.type !== columns[i].type) notes.push(`column ${c.name}: type ${columns[i].type} in ${oracle}, ${c.type} in ${source}`);
    });
    rows = other.rows;
  } else {
    const want = columns.map((c) => c.name);
    rows = [];
    for (const [r, obj] of other.entries()) {
      if (!(obj instanceof OrderedObject)) {
        mismatches.push(`row ${r} is not a JSON object`);
        return { mismatches, notes };
      }
      const keys = obj.keys();
      if (keys.join("\u0000") !== want.join("\u0000")) {
        mismatches.push(`row ${r}: keys ${JSON.stringify(keys)}, ${oracle}'s columns ${JSON.stringify(want)}`);
        return { mismatches, notes };
      }
      rows.push(columns.map((c, i) => fromContract(obj.entries[i][1], c.kind)));
    }
  }
  if (rows.length !== ref.rows.length) {
    mismatches.push(`row count: ${oracle} ${ref.rows.length}, ${source} ${rows.length}`);
  }
  const rowDiffs = (want, got) => {
    const diffs = [];
    const known = [];
    columns.forEach((col, c) => {
      const r = compareValue(col, want[c], got[c], oracle);
      if (r?.known) known.push(`${col.name}: ${r.known}`);
      else if (r?.diff) {
        const w = describe(want[c]) ?? show(want[c], col.kind);
        const g = describe(got[c]) ?? show(got[c], col.kind);
        diffs.push(`${col.name}: ${oracle} ${w}, ${source} ${g}`);
      }
    });
    return { diffs, known };
  };
  if (!unordered) {
    const n = Math.min(rows.length, ref.rows.length);
    for (let r = 0; r < n; r++) {
      const { diffs, known } = rowDiffs(ref.rows[r], rows[r]);
      for (const d of diffs) report(`row ${r} ${d}`);
      for (const k of known) notes.push(`row ${r} ${k}`);
    }
  } else {
    // Multiset: pair every reference row with the first unpaired row that matches it.
    const used = new Array(rows.length).fill(false);
    ref.rows.forEach((want, r) => {
      for (let a = 0; a < rows.length; a++) {
        if (used[a]) continue;
        const { diffs, known } = rowDiffs(want, rows[a]);
        if (diffs.length === 0) {
          used[a] = true;
          for (const k of known) notes.push(`row ${r} ${k}`);
          return;
        }
      }
      report(`${oracle}'s row ${r} is not among ${source}'s: ${want.map((v, c) => show(v, columns[c].kind)).join(", ")}`);
    });
    used.forEach((u, a) => {
      if (!u) report(`${source}'s row ${a} is not among ${oracle}'s: ${rows[a].map((v, c) => describe(v) ?? show(v, columns[c].kind)).join(", ")}`);
    });
  }
  return { mismatches, notes };
}

// ---------------------------------------------------------------------------------------------

// ---------------------------------------------------------------------------------------------
// Main

function parseArgs(argv) {
  const opts = { cli: process.env.TARNWICK_CLI || null, expectFile: null, unordered: [], oraclesOnly: false, maxReport: 20, file: null };
  for (let i = 0; i < argv.length; i++) {
    const a = argv[i];
    const next = () => {
      if (i + 1 >= argv.length) throw new Error(`${a} needs a value`);
      return argv[++i];
    };
    if (a === "--cli") opts.cli = next();
    else if (a === "--expect-file") opts.expectFile = next();
    else if (a === "--unordered") opts.unordered.push(next());
    else if (a === "--oracles-only") opts.oraclesOnly = true;
    else if (a === "--max-report") opts.maxReport = Number(next());
    else if (a.startsWith("--")) throw new Error(`unknown option ${a}`);
    else if (opts.file === null) opts.file = a;
    else throw new Error(`unexpected argument ${a}`);
  }
  if (opts.file === null) throw new Error("no FILE given");
  if (!opts.cli && !opts.oraclesOnly) throw new Error("no tarnwick-cli: pass --cli PATH or set TARNWICK_CLI");
  return opts;
}

function main(argv) {
  let opts;
  try {
    opts = parseArgs(argv);
  } catch (err) {
    process.stderr.write(`compare.mjs: ${err.message}\n` +
      "usage: compare.mjs [--cli PATH] [--expect-file JSON] [--unordered TABLE]... [--oracles-only] FILE\n");
    return 2;
  }
  const { file } = opts;
  if (!existsSync(file)) {
    process.stderr.write(`compare.mjs: no such file: ${file}\n`);
    return 2;
  }
  const unordered = new Set([...(UNORDERED_BY_FILE.get(basename(file)) ?? []), ...opts.unordered]);
  let failures = 0;
  const fail = (line) => {
    failures++;
    console.log(`  MISMATCH ${line}`);
  };
  console.log(`== ${file}`);

  // The two oracles must both read the file; a reader that fails makes the run inconclusive.
  const oracles = [];
  for (const [name, open] of [["mdbtools", readMdbtools], ["mdb-reader", readMdbReader]]) {
    try {
      oracles.push({ name, ...open(file) });
    } catch (err) {
      fail(`${name} cannot read the file: ${err.message}`);
    }
  }
  const contract = []; // sources in our JSON forms, each compared with every oracle
  if (!opts.oraclesOnly) {
    try {
      contract.push({ name: "tarnwick-cli", ...readOurs(opts.cli, file) });
    } catch (err) {
      fail(`tarnwick-cli: ${err.message}`);
    }
  }
  if (opts.expectFile) contract.push({ name: "expected", ...readExpectFile(opts.expectFile) });

  // Table lists, in order.
  const lists = [...oracles, ...contract].filter((s) => s.tables !== null);
  for (const s of lists) console.log(`tables (${s.name}): ${JSON.stringify(s.tables)}`);
  if (oracles.length === 2 && JSON.stringify(oracles[0].tables) !== JSON.stringify(oracles[1].tables)) {
    console.log("  note: the two readers list different tables");
  }
  for (const s of contract.filter((c) => c.tables !== null)) {
    for (const o of oracles) {
      if (JSON.stringify(s.tables) !== JSON.stringify(o.tables)) fail(`table list of ${s.name} differs from ${o.name}'s`);
    }
  }

  const tableNames = [...new Set(oracles.flatMap((o) => o.tables))];
  for (const table of tableNames) {
    const tag = unordered.has(table) ? " [rows compared as a multiset: overflow rows]" : "";
    const read = {};
    for (const o of oracles) {
      if (!o.tables.includes(table)) continue;
      try {
        read[o.name] = o.readTable(table);
      } catch (err) {
        fail(`${table}: ${o.name} cannot read it: ${err.message}`);
      }
    }
    const counts = Object.entries(read).map(([n, t]) => `${n} ${t.rows.length}`);
    const ours = {};
    for (const s of contract) {
      try {
        const rows = s.readTable(table);
        if (rows !== null) {
          ours[s.name] = rows;
          counts.push(`${s.name} ${rows.length}`);
        }
      } catch (err) {
        fail(`${table}: ${s.name}: ${err.message}`);
      }
    }
    const first = Object.values(read)[0];
    console.log(`-- ${table}: ${first ? first.columns.length : "?"} columns; rows: ${counts.join(", ")}${tag}`);
    for (const n of read["mdb-reader"]?.notes ?? []) console.log(`  known: ${n}`);
    const cmpOpts = { unordered: unordered.has(table), maxReport: opts.maxReport };

    // The readers against each other: informational, explains failures below.
    if (read["mdbtools"] && read["mdb-reader"]) {
      const { mismatches, notes } = compareTable(read["mdbtools"], "mdbtools", read["mdb-reader"], "mdb-reader",
        { ...cmpOpts, otherCanonical: true });
      for (const m of mismatches) console.log(`  note: readers disagree: ${m}`);
      for (const n of notes) console.log(`  note: ${n}`);
    }
    for (const [sourceName, rows] of Object.entries(ours)) {
      for (const [oracleName, ref] of Object.entries(read)) {
        const { mismatches, notes } = compareTable(ref, oracleName, rows, sourceName, cmpOpts);
        for (const n of notes) console.log(`  known (${sourceName} vs ${oracleName}): ${n}`);
        if (mismatches.length === 0) console.log(`  ${sourceName} vs ${oracleName}: ok`);
        for (const m of mismatches) fail(`${sourceName} vs ${oracleName}: ${table}: ${m}`);
      }
    }
  }
  console.log(failures === 0 ? `PASS ${basename(file)}` : `FAIL ${basename(file)}: ${failures} mismatch line(s)`);
  return failures === 0 ? 0 : 1;
}

// Run as a program, not when imported by the harness's own tests.
if (process.argv[1] && import.meta.url === pathToFileURL(realpathSync(process.argv[1])).href) {
  process.exitCode = main(process.argv.slice(2));
}
