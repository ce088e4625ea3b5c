#!/usr/bin/env python3
"""Writes the spreadsheet fixtures of the document-source tests.

Standard library only: .xlsx is a zip of XML parts, and .xls is a BIFF8
workbook stream inside a compound file, both small enough to write by hand.
Run it from anywhere; it writes next to itself. The files are committed, so
the tests need no Python.
"""

import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- xlsx ----

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>
"""

ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="{folder}/workbook.xml"/>
</Relationships>
"""

# The first sheet in the workbook is deliberately the second relationship and
# the second part name, so a reader that takes "sheet1.xml" by name fails.
WORKBOOK = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<workbookPr{date1904}/>
<sheets>{chart}
<sheet name="Trades" sheetId="1" r:id="rId2"/>
<sheet name="Notes" sheetId="2" r:id="rId1"/>
</sheets>
</workbook>
"""

WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/{folder}/worksheets/sheet2.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
<Relationship Id="rId5" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="chartsheets/sheet1.xml"/>
</Relationships>
"""

# Styles: 0 general, 1 built-in date (14), 2 custom date, 3 currency (not a
# date although it has letters), 4 built-in date and time (22), 5 elapsed
# hours in brackets (not a date).
STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="3">
<numFmt numFmtId="164" formatCode="mm/dd/yy;@"/>
<numFmt numFmtId="165" formatCode="&quot;$&quot;#,##0.00_);[Red]\\(&quot;$&quot;#,##0.00\\)"/>
<numFmt numFmtId="166" formatCode="[h]:mm"/>
</numFmts>
<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>
<fills count="1"><fill><patternFill patternType="none"/></fill></fills>
<borders count="1"><border/></borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="6">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="22" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="166" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
</cellXfs>
</styleSheet>
"""

SHARED_STRINGS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="9" uniqueCount="9">
<si><t>Date</t></si>
<si><t>Type</t></si>
<si><t>Symbol</t></si>
<si><t>Quantity</t></si>
<si><t>Amount</t></si>
<si><t>Memo</t></si>
<si><t>Bought</t></si>
<si><t>Sold</t></si>
<si><r><rPr><b/></rPr><t>O'Brien</t></r><r><t xml:space="preserve"> &amp; Co</t></r><rPh sb="0" eb="1"><t>IGNORED</t></rPh></si>
</sst>
"""

TRADES_SHEET = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData>
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c><c r="D1" t="s"><v>3</v></c><c r="E1" t="s"><v>4</v></c><c r="F1" t="s"><v>5</v></c></row>
<row r="2"><c r="A2" s="1"><v>{d2}</v></c><c r="B2" t="s"><v>6</v></c><c r="C2" t="inlineStr"><is><t>MSFT</t></is></c><c r="D2"><v>100</v></c><c r="E2" s="3"><v>5000.5</v></c><c r="F2" t="inlineStr"><is><t>first, "lot"</t></is></c></row>
<row r="3"><c r="A3" s="2"><v>{d3}</v></c><c r="B3" t="s"><v>7</v></c><c r="C3" t="s"><v>8</v></c><c r="D3"><v>-100</v></c><c r="E3"><v>-5200</v></c><c r="F3" t="b"><v>1</v></c></row>
<row r="4"><c r="A4" s="4"><v>{d4}</v></c><c r="B4" t="str"><f>"Divi"&amp;"dend"</f><v>Dividend</v></c><c r="D4" s="5"><v>1.5</v></c><c r="E4" t="e"><v>#DIV/0!</v></c></row>
<row r="6"><c r="A6" t="d"><v>2000-07-04</v></c><c><v>7</v></c><c><v>2.25</v></c><c r="H6" t="inlineStr"><is><t>far</t></is></c></row>
</sheetData>
<extLst><ext uri="{{00000000-0000-0000-0000-000000000000}}" xmlns:y="urn:example"><y:c r="A1"><y:v>99</y:v></y:c></ext></extLst>
</worksheet>
"""

NOTES_SHEET = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>not the first sheet</t></is></c></row></sheetData>
</worksheet>
"""


CHART_SHEET = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<chartsheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"/>
"""


def write_xlsx(name, date1904=False, folder="xl", chart_first=False):
    """folder: where the workbook lives (xl/ is usual, not required);
    chart_first: a chart sheet comes before the first worksheet."""
    # In the 1904 calendar the same days have serials 1462 lower.
    shift = 1462 if date1904 else 0
    chart = '\n<sheet name="Chart" sheetId="3" r:id="rId5"/>' if chart_first else ""
    parts = {
        "[Content_Types].xml": CONTENT_TYPES.replace("/xl/", "/" + folder + "/"),
        "_rels/.rels": ROOT_RELS.format(folder=folder),
        folder + "/workbook.xml": WORKBOOK.format(
            date1904=' date1904="1"' if date1904 else "", chart=chart),
        folder + "/_rels/workbook.xml.rels": WORKBOOK_RELS.format(folder=folder),
        folder + "/styles.xml": STYLES,
        folder + "/sharedStrings.xml": SHARED_STRINGS,
        folder + "/worksheets/sheet2.xml": TRADES_SHEET.format(
            d2=36526 - shift, d3=36600 - shift, d4=36700.75 - shift),
        folder + "/worksheets/sheet1.xml": NOTES_SHEET,
        folder + "/chartsheets/sheet1.xml": CHART_SHEET,
    }
    with zipfile.ZipFile(os.path.join(HERE, name), "w", zipfile.ZIP_DEFLATED) as z:
        for part, text in parts.items():
            info = zipfile.ZipInfo(part, date_time=(2000, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, text.encode("utf-8"))


# ----------------------------------------------------------------- xls ----

def record(kind, data=b""):
    return struct.pack("<HH", kind, len(data)) + data


def unicode_string(text, length_bytes):
    """BIFF8 string: length, option flags, then Latin-1 or UTF-16 chars."""
    try:
        chars, flags = text.encode("latin-1"), 0
    except UnicodeEncodeError:
        chars, flags = text.encode("utf-16-le"), 1
    size = struct.pack("<B" if length_bytes == 1 else "<H", len(text))
    return size + bytes([flags]) + chars


def xf(format_index):
    # Font 0, the given number format, a cell style record otherwise blank.
    return record(0x00E0, struct.pack("<HHH", 0, format_index, 0) + bytes(14))


def bof(kind):
    return record(0x0809, struct.pack("<HHHHII", 0x0600, kind, 0x0DBB, 0x07CC, 0, 6))


def xls_sheet(cells, strings):
    """cells: {(row, col): value}; str -> shared string, (number, xf) -> NUMBER."""
    out = bof(0x0010)
    rows = [r for r, _ in cells] or [0]
    cols = [c for _, c in cells] or [0]
    out += record(0x0200, struct.pack("<IIHHH", 0, max(rows) + 1, 0, max(cols) + 1, 0))
    for (row, col), value in sorted(cells.items()):
        if isinstance(value, str):
            if value not in strings:
                strings.append(value)
            out += record(0x00FD, struct.pack("<HHHI", row, col, 0, strings.index(value)))
        else:
            number, style = value
            out += record(0x0203, struct.pack("<HHHd", row, col, style, number))
    return out + record(0x000A)


def write_xls(name):
    strings = []
    trades = {
        (0, 0): "Date", (0, 1): "Type", (0, 2): "Symbol", (0, 3): "Quantity", (0, 4): "Amount",
        (1, 0): (36526, 16), (1, 1): "Bought", (1, 2): "MSFT", (1, 3): (100, 15), (1, 4): (5000.5, 15),
        (2, 0): (36600, 17), (2, 1): "Sold", (2, 2): "Caf\u00e9 \u20ac", (2, 3): (-100, 15),
        (2, 4): (-5200, 15),
        (3, 0): "not a date", (3, 1): "Bought", (3, 2): "O'Brien, \"Co\"", (3, 3): (0.25, 15),
    }
    notes = {(0, 0): "not the first sheet"}
    sheets = [("Trades", xls_sheet(trades, strings)), ("Notes", xls_sheet(notes, strings))]

    # Workbook globals: code page, date mode, one font, a custom date format,
    # the 15 style records every workbook carries, then cell formats 15
    # (general), 16 (built-in date 14) and 17 (the custom date).
    globals_head = bof(0x0005)
    globals_head += record(0x0042, struct.pack("<H", 1200))
    globals_head += record(0x0022, struct.pack("<H", 0))
    font = struct.pack("<HHHHHBBBB", 200, 0, 0x7FFF, 400, 0, 0, 0, 0, 0) + unicode_string("Arial", 1)
    globals_head += record(0x0031, font)
    globals_head += record(0x041E, struct.pack("<H", 164) + unicode_string("mm/dd/yy", 2))
    for _ in range(15):
        globals_head += record(0x00E0, struct.pack("<HHH", 0, 0, 0xFFF5) + bytes(14))
    globals_head += xf(0) + xf(14) + xf(164)

    sst = struct.pack("<II", len(strings), len(strings))
    for s in strings:
        sst += unicode_string(s, 2)
    globals_tail = record(0x00FC, sst) + record(0x000A)

    def boundsheets(offsets):
        out = b""
        for (sheet_name, _), offset in zip(sheets, offsets):
            out += record(0x0085, struct.pack("<IBB", offset, 0, 0) + unicode_string(sheet_name, 1))
        return out

    # Sheet offsets depend on the length of the records that name them.
    size = len(globals_head) + len(boundsheets([0] * len(sheets))) + len(globals_tail)
    offsets = []
    for _, data in sheets:
        offsets.append(size)
        size += len(data)
    stream = globals_head + boundsheets(offsets) + globals_tail + b"".join(d for _, d in sheets)
    write_compound_file(os.path.join(HERE, name), "Workbook", stream)


def write_compound_file(path, stream_name, stream):
    """A version 3 compound file (512-byte sectors) holding one stream.

    Streams under 4096 bytes would go to the mini stream; padding the
    workbook past that keeps everything in ordinary sectors.
    """
    sector = 512
    stream = stream + bytes(max(0, 4096 - len(stream)))
    data_sectors = (len(stream) + sector - 1) // sector
    assert data_sectors + 2 <= 128, "one FAT sector is enough for fixtures"
    end, free, fat_sect, no_stream = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD, 0xFFFFFFFF

    # Sector 0: the FAT; sector 1: the directory; sectors 2..: the stream.
    fat = [fat_sect, end] + [i + 1 for i in range(2, 2 + data_sectors - 1)] + [end]
    fat += [free] * (128 - len(fat))

    header = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(16)
    header += struct.pack("<HHHHH", 0x003E, 0x0003, 0xFFFE, 9, 6) + bytes(6)
    header += struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, end, 0, end, 0)
    header += struct.pack("<I", 0) + struct.pack("<I", free) * 108

    def entry(name, kind, child, start, size):
        encoded = (name + "\0").encode("utf-16-le")
        return (encoded + bytes(64 - len(encoded))
                + struct.pack("<HBB", len(encoded), kind, 1)
                + struct.pack("<III", no_stream, no_stream, child)
                + bytes(16) + struct.pack("<I", 0) + bytes(16)
                + struct.pack("<III", start, size, 0))

    directory = entry("Root Entry", 5, 1, end, 0) + entry(stream_name, 2, no_stream, 2, len(stream))
    directory += bytes(sector - len(directory))

    padded = stream + bytes(data_sectors * sector - len(stream))
    with open(path, "wb") as f:
        f.write(header + struct.pack("<128I", *fat) + directory + padded)


if __name__ == "__main__":
    write_xlsx("trades.xlsx")
    write_xlsx("trades_1904.xlsx", date1904=True)
    write_xlsx("trades_elsewhere.xlsx", folder="book", chart_first=True)
    write_xls("trades.xls")
    with zipfile.ZipFile(os.path.join(HERE, "not_a_workbook.xlsx"), "w") as z:
        z.writestr(zipfile.ZipInfo("readme.txt", date_time=(2000, 1, 1, 0, 0, 0)), "no workbook")
