// Tests of the harness's own parsing and comparison rules (node --test); the readers themselves
// are exercised by the per-file interop tests.
import assert from "node:assert/strict";
import { test } from "node:test";
import {
  MDBTOOLS_NO_DATE, OrderedObject, compareValue, correctMdbReaderDate, fromContract, fromMdbExport,
  parseCsv, parseIsoLocal, parseJsonOrdered,
} from "./compare.mjs";

const utc = (iso) => Date.parse(iso + "Z");

test("CSV as mdb-export writes it", () => {
  const cases = [
    ["a,b\n", [[["a", false], ["b", false]]]],
    ['1,"x"\n2,""\n3,\n', [[["1", false], ["x", true]], [["2", false], ["", true]], [["3", false], ["", false]]]],
    ['"line 1\nline 2","say ""hi"""\n', [[["line 1\nline 2", true], ['say "hi"', true]]]],
    ['"a\r\nb",c', [[["a\r\nb", true], ["c", false]]]],
    ["", []],
  ];
  for (const [text, want] of cases) {
    const got = parseCsv(text).map((rec) => rec.map((f) => [f.value, f.quoted]));
    assert.deepEqual(got, want, JSON.stringify(text));
  }
  assert.throws(() => parseCsv('"open'));
});

test("JSON keeps keys in document order", () => {
  const [row] = parseJsonOrdered('[{"b":1,"10":"x","a":[true,null,-2.5e3],"\\u00e9\\"":{}}]');
  assert.ok(row instanceof OrderedObject);
  assert.deepEqual(row.keys(), ["b", "10", "a", 'é"']);
  assert.deepEqual(row.get("a"), [true, null, -2500]);
  for (const bad of ['[1,]', '{"a":1} x', '{"a" 1}', '"unterminated', "[01]"]) {
    assert.throws(() => parseJsonOrdered(bad), bad);
  }
});

test("ISO local date-times", () => {
  assert.equal(parseIsoLocal("2026-12-05T00:00:00"), utc("2026-12-05T00:00:00"));
  assert.equal(parseIsoLocal("2026-12-05T10:20:30.045", { strict: true }), utc("2026-12-05T10:20:30.045"));
  assert.equal(parseIsoLocal("0099-01-01T00:00:00"), utc("0099-01-01T00:00:00"));
  for (const bad of ["2026-12-05 00:00:00", "2026-12-05T00:00:00Z", "2026-12-05", "1900-01-00T00:00:00",
    "2026-02-30T00:00:00", "2026-13-01T00:00:00", "2026-01-01T24:00:00"]) {
    assert.equal(parseIsoLocal(bad), null, bad);
  }
  // Our export leaves out zero milliseconds.
  assert.equal(parseIsoLocal("2026-12-05T00:00:00.000"), utc("2026-12-05T00:00:00"));
  assert.equal(parseIsoLocal("2026-12-05T00:00:00.000", { strict: true }), null);
});

test("mdb-reader's linear reading of negative day counts is undone", () => {
  const cases = [
    // [what mdb-reader prints, the stored date]
    ["1899-12-28T18:00:00", "1899-12-29T06:00:00"], // -1.25
    ["1899-12-29T18:00:00", "1899-12-30T06:00:00"], // -0.25
    ["1898-01-01T00:00:00", "1898-01-01T00:00:00"], // -728.0
  ];
  for (const [printed, stored] of cases) {
    assert.equal(correctMdbReaderDate(utc(printed))[0], utc(stored), printed);
  }
  assert.equal(correctMdbReaderDate(utc("1899-12-30T06:00:00")), null);
});

test("values in our export's forms", () => {
  const ok = [
    ["text", "abc", "abc"], ["number", 12.5, 12.5], ["boolean", false, false], ["text", null, null],
    ["datetime", "2000-01-01T00:00:00", utc("2000-01-01T00:00:00")],
    ["binary", "AAH/", Buffer.from([0, 1, 255])], ["guid", "{ab-CD}", "AB-CD"],
  ];
  for (const [kind, v, want] of ok) assert.deepEqual(fromContract(v, kind), want, `${kind} ${v}`);
  const wrongType = [["text", 1], ["number", "1"], ["boolean", 0], ["datetime", "2000-01-01T00:00:00.000"],
    ["binary", "AAH"], ["datetime", 36526]];
  for (const [kind, v] of wrongType) assert.ok(fromContract(v, kind)?.error, `${kind} ${v}`);
});

test("mdb-export fields by column type", () => {
  const f = (value, quoted = false) => ({ value, quoted });
  assert.equal(fromMdbExport(f(""), "text"), null);
  assert.equal(fromMdbExport(f("", true), "text"), "");
  assert.equal(fromMdbExport(f("1"), "boolean"), true);
  assert.equal(fromMdbExport(f("0"), "boolean"), false);
  assert.equal(fromMdbExport(f("-12.5000"), "currency"), -12.5);
  assert.deepEqual(fromMdbExport(f("00FF", true), "ole"), Buffer.from([0, 255]));
  assert.equal(fromMdbExport(f("1900-01-00T00:00:00", true), "datetime"), MDBTOOLS_NO_DATE);
  assert.equal(fromMdbExport(f("{5b3e-aa}", true), "guid"), "5B3E-AA");
});

test("comparison rules", () => {
  const col = (type) => ({ name: "c", type, kind: type === "datetime" || type === "text" ? type : "number" });
  const same = (type, a, b, oracle = "mdb-reader") => !compareValue(col(type), a, b, oracle)?.diff;
  const t = utc("2000-01-01T12:00:00");
  const cases = [
    ["datetime", t, t + 1000, "mdb-reader", true],
    ["datetime", t, t + 1001, "mdb-reader", false],
    ["datetime", t, null, "mdb-reader", false],
    ["datetime", MDBTOOLS_NO_DATE, utc("1899-12-29T06:00:00"), "mdbtools", true],
    ["datetime", MDBTOOLS_NO_DATE, utc("4637-11-27T00:00:00"), "mdbtools", true],
    ["datetime", MDBTOOLS_NO_DATE, utc("4637-11-26T00:00:00"), "mdbtools", false],
    ["datetime", MDBTOOLS_NO_DATE, null, "mdbtools", false],
    ["single", Math.fround(0.1), 0.1, "mdb-reader", true],
    ["single", 0.1234567, Math.fround(0.12345671), "mdbtools", true],
    ["double", 0.1, 0.1 + 1e-17, "mdb-reader", false],
    ["double", 0.1, 0.1 + 1e-17, "mdbtools", true],
    ["double", 1 / 3, 0.333333333333333, "mdbtools", true],
    ["double", 1 / 3, 0.333333333333333, "mdb-reader", false],
    ["long", 0, null, "mdb-reader", false],
    ["text", "a", "a ", "mdb-reader", false],
    ["text", null, "", "mdbtools", true],
    ["text", null, "", "mdb-reader", false],
    ["text", "x ?? y", "x \u{1F600} y", "mdbtools", true],
    ["text", "x ?? y", "x \u{1F600} y", "mdb-reader", false],
    ["text", "x ? y", "x \u{1F600} y", "mdbtools", false],
  ];
  for (const [type, a, b, oracle, want] of cases) {
    assert.equal(same(type, a, b, oracle), want, `${type} ${String(a)} ${String(b)} ${oracle}`);
  }
});
