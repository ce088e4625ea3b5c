#!/usr/bin/env python3
"""Writes the broker fixtures of the capture tests: history pages shaped as
each broker lays them out, and the same spreadsheet in .csv, .xls and .xlsx.

Each fixture has a sibling "<file>.expected": the line "args:" with the
capture options, the line "exit:" with the exit code, then the Txn rows the
capture must store, as account|month|symbol|quantity|type|date|amount|memo|.
Standard library only; the .xls writer of the document-source fixtures is
reused. The files are committed, so the tests need no Python.
"""

import csv
import datetime
import importlib.util
import io
import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

_spec = importlib.util.spec_from_file_location(
    "source_fixtures", os.path.join(HERE, "sources", "make_fixtures.py"))
src = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(src)


def write(path, text):
    full = os.path.join(HERE, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def expected(path, args, rows, code=0):
    write(path + ".expected", "args: %s\nexit: %d\n%s" % (args, code, "".join(r + "|\n" for r in rows)))


def serial(d):
    return (d - datetime.date(1899, 12, 30)).days


# ------------------------------------------------------------ sheets ----

def write_csv(path, rows):
    out = io.StringIO()
    w = csv.writer(out, lineterminator="\r\n")
    for row in rows:
        w.writerow(["%d/%d/%d" % (v.month, v.day, v.year) if isinstance(v, datetime.date)
                    else ("" if v is None else v) for v in row])
    write(path, out.getvalue())


def write_xls(path, rows):
    strings = []
    cells = {}
    for r, row in enumerate(rows):
        for c, v in enumerate(row):
            if v is None or v == "":
                continue
            if isinstance(v, datetime.date):
                cells[(r, c)] = (serial(v), 16)
            elif isinstance(v, (int, float)):
                cells[(r, c)] = (float(v), 15)
            else:
                cells[(r, c)] = v
    sheet = src.xls_sheet(cells, strings)
    head = src.bof(0x0005)
    head += src.record(0x0042, struct.pack("<H", 1200))
    head += src.record(0x0022, struct.pack("<H", 0))
    font = struct.pack("<HHHHHBBBB", 200, 0, 0x7FFF, 400, 0, 0, 0, 0, 0) + src.unicode_string("Arial", 1)
    head += src.record(0x0031, font)
    for _ in range(15):
        head += src.record(0x00E0, struct.pack("<HHH", 0, 0, 0xFFF5) + bytes(14))
    head += src.xf(0) + src.xf(14)
    sst = struct.pack("<II", len(strings), len(strings))
    for s in strings:
        sst += src.unicode_string(s, 2)
    tail = src.record(0x00FC, sst) + src.record(0x000A)

    def boundsheet(offset):
        return src.record(0x0085, struct.pack("<IBB", offset, 0, 0) + src.unicode_string("History", 1))

    offset = len(head) + len(boundsheet(0)) + len(tail)
    src.write_compound_file(os.path.join(HERE, path), "Workbook", head + boundsheet(offset) + tail + sheet)


XLSX_PARTS = {
    "[Content_Types].xml": """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>
</Types>
""",
    "_rels/.rels": """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>
""",
    "xl/workbook.xml": """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="History" sheetId="1" r:id="rId1"/></sheets>
</workbook>
""",
    "xl/_rels/workbook.xml.rels": """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>
""",
    "xl/styles.xml": """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>
<fills count="1"><fill><patternFill patternType="none"/></fill></fills>
<borders count="1"><border/></borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="2">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
</cellXfs>
</styleSheet>
""",
}


def column_name(c):
    name = ""
    c += 1
    while c:
        c, rem = divmod(c - 1, 26)
        name = chr(65 + rem) + name
    return name


def xml_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def write_xlsx(path, rows):
    lines = []
    for r, row in enumerate(rows):
        cells = []
        for c, v in enumerate(row):
            ref = "%s%d" % (column_name(c), r + 1)
            if v is None or v == "":
                continue
            if isinstance(v, datetime.date):
                cells.append('<c r="%s" s="1"><v>%d</v></c>' % (ref, serial(v)))
            elif isinstance(v, (int, float)):
                cells.append('<c r="%s"><v>%r</v></c>' % (ref, v))
            else:
                cells.append('<c r="%s" t="inlineStr"><is><t xml:space="preserve">%s</t></is></c>'
                             % (ref, xml_escape(v)))
        if cells:
            lines.append('<row r="%d">%s</row>' % (r + 1, "".join(cells)))
    sheet = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
             "<sheetData>%s</sheetData></worksheet>\n" % "\n".join(lines))
    parts = dict(XLSX_PARTS)
    parts["xl/worksheets/sheet1.xml"] = sheet
    with zipfile.ZipFile(os.path.join(HERE, path), "w", zipfile.ZIP_DEFLATED) as z:
        for part, text in parts.items():
            z.writestr(zipfile.ZipInfo(part, date_time=(2000, 1, 1, 0, 0, 0)), text.encode("utf-8"))


def sheet_fixture(folder, rows, args, expected_rows):
    for ext, writer in (("csv", write_csv), ("xls", write_xls), ("xlsx", write_xlsx)):
        path = "%s/history.%s" % (folder, ext)
        writer(path, rows)
        expected(path, args, expected_rows)


D = datetime.date

# ------------------------------------------------------------- pages ----

def page(title, body):
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title></head>\n"
            "<body>\n%s\n</body></html>\n" % (title, body))


def tr(cells, tag="td"):
    return "<tr>" + "".join("<%s>%s</%s>" % (tag, c, tag) for c in cells) + "</tr>"


def nav(count):
    """count elements of navigation: links in list items, two per entry."""
    return "<ul>" + "".join('<li><a href="#s%d">Section %d</a></li>' % (i, i)
                            for i in range(count // 2)) + "</ul>"


def etrade():
    sales = [
        ["IBM", "03/15/2000", "SALE", "-100", "12.345", "($1,234.50)", ""],
        ["MSFT", "04/03/2000", "DIVIDEND", "", "", "$12.00", ""],
        ["ZERO", "04/04/2000", "SALE", "0", "1.00", "$10.00", ""],
        ["HD", "05/20/2000", "SALE", "25", "100.00", "$2,500.00", ""],
        ["TOTAL", "TOTALS", "", "", "", "$3,746.50", ""],
    ]
    purchases = [
        ["DELL", "01/10/2000", "PURCHASE", "50", "20.00", "$1,000.00", ""],
        ["O'NEIL", "01/11/2000", "PURCHASE", "5", "2.00", "-$10.00", ""],
        ["TOTAL", "TOTALS", "", "", "", "$1,010.00", ""],
    ]
    body = "\n".join([
        "<table><tr><td>Account: 4455-0001</td><td>Year-end statement for your account: 4455-0001</td></tr></table>",
        nav(800),
        "<p><b>1099-B Proceeds From Broker and Barter Exchange Transactions 2000</b></p>",
        "<table>",
        tr(["SYMBOL", "TRADE DATE", "TYPE", "QUANTITY", "PRICE", "NET PROCEEDS", "AMOUNT ADJ."]),
        *[tr(r) for r in sales],
        "</table>",
        "<table><tr><td>PURCHASES</td></tr></table>",
        "<table><tr><th>SYMBOL</th><th>TRADE DATE</th><th>TYPE</th><th>QUANTITY</th>"
        "<th>PRICE</th><th>COST</th><th><b>AMOUNT ADJ.</b></th></tr>",
        *[tr(r) for r in purchases],
        "</table>",
    ])
    write("etrade/year_end.html", page("1099-B", body))
    expected("etrade/year_end.html", "--broker Etrade", [
        "4455-0001|All|IBM|100|Sold|03/15/2000|1234.5| ",
        "4455-0001|All|HD|25|Sold|05/20/2000|2500| ",
        "4455-0001|All|DELL|50|Bought|01/10/2000|1000| ",
        "4455-0001|All|O'NEIL|5|Bought|01/11/2000|10| ",
    ])
    # The same page with the landmark too early: nothing is captured.
    write("etrade/short_page.html", page("1099-B", body.replace(nav(800), nav(100))))
    expected("etrade/short_page.html", "--broker Etrade --account Mine", [], code=1)


def datek():
    rows = [
        ["1", "03/01/2000", '<a href="#"> Sold </a>', "IBM", "-50", "40.00", "$(2,000.00)"],
        ["2", "03/02/2000", '<a href="#">SOLD</a>', "T", "10", "1.00", "$10.00"],
        ["3", "03/03/2000", '<a href="#">Dividend</a>', "T", "", "", "$1.00"],
        ["4", "03/04/2000", '<a href="#">Bought</a>', "DELL", "20", "5.00", "$100.00"],
        ["5", "03/05/2000", '<a href="#">Bought</a>', "ZERO", "0", "5.00", "$0.00"],
    ]
    frame = "\n".join([
        "<table><tr><td>UserName: 7788-1234</td><td>Account History for March 2000</td></tr></table>",
        "<table>",
        tr(["Ref", "Date", "Activity", "Symbol", "Quantity", "Price", "Cash Balance"]),
        *[tr(r) for r in rows],
        "</table>",
        "<p>Balances are shown as of the close of business.</p>" * 8,
    ])
    write("datek/frames/history_frame.html", page("History", frame))
    write("datek/frames/menu.html", page("Menu", nav(10)))
    write("datek/history.html",
          "<!DOCTYPE html>\n<html><head><title>Account</title></head>\n"
          '<frameset rows="20%,80%"><frame src="frames/menu.html">'
          '<frame src="frames/history_frame.html"></frameset></html>\n')
    expected("datek/history.html", "--broker Datek", [
        "7788-1234|March 2000|IBM|50|Sold|03/01/2000|2000| ",
        "7788-1234|March 2000|DELL|20|Bought|03/04/2000|100| ",
    ])
    # The frame alone, without the frameset: no second frame.
    expected("datek/frames/history_frame.html", "--broker Datek", [], code=1)


def fbr():
    rows = [
        ["03-15-2000", "BOT", "CASH", "100", "IBM", "$100.00", "($10,000.00)"],
        ["03-15-2000", "Bot", "CASH", "5", "MIXED", "$1.00", "$5.00"],
        ["03-16-2000", "DIV", "CASH", "", "T", "", "$3.00"],
        ["03-16-2000", "SOLD", "CASH", "-20", "T", "$25.00", "$500.25"],
        ["TOTAL", "", "", "", "", "", "$10,505.25"],
        ["03-18-2000", "SOLD", "CASH", "7", "AFTER", "$1.00", "$7.00"],
    ]
    body = "\n".join([
        nav(660),
        "<table>",
        # The heading keeps its trailing blank, as the statement prints it.
        tr(["DATE", "ACTION", "TYPE", "QUANTITY", "DESCRIPTION", "PRICE"])[:-5]
        + '<td style="white-space: pre">AMOUNT </td></tr>',
        *[tr(r) for r in rows],
        "</table>",
    ])
    write("fbr/statement.html", page("Statement", body))
    expected("fbr/statement.html", "--broker FBR", [
        "FBR-Account1|All|IBM|100|Bought|03/15/2000|10000| ",
        "FBR-Account1|All|T|20|Sold|03/16/2000|500.25| ",
    ])


def waterhouse():
    rows = [
        ["1", "BRK /B", "Buy", "2", "$5,000.00", "2500.00", "02/01/2000", "02/04/2000"],
        ["1", "Acme Corp. (New)", "Sell", "-30", "($300.00)", "10.00", "02/02/2000", "02/07/2000"],
        ["1", "Cash", "Interest", "", "$1.00", "", "02/03/2000", "02/03/2000"],
        ["1", "BAD", "Sell", "many", "$1.00", "", "02/03/2000", "02/08/2000"],
        ["1", "IBM", "Buy", "10", "$1,000.00", "100.00", "02/05/2000", "02/10/2000"],
    ]
    body = "\n".join([
        "<h1>Account activity</h1>",
        "<table>",
        tr(["Account", "Security", "Action", "Quantity", "Amount", "Price", "Trade Date",
            "Settlement Date"]),
        *[tr(r) for r in rows],
        "</table>",
        "<table>" + tr(["Total", "", "", "", "$6,301.00", "", "", ""]) + "</table>",
    ])
    write("waterhouse/activity.html", page("Activity", body))
    expected("waterhouse/activity.html", "--broker Waterhouse", [
        "Waterhouse1|All|BRK|2|Bought|02/01/2000|5000| ",
        "Waterhouse1|All|ACMECORPNEW|30|Sold|02/02/2000|300| ",
        "Waterhouse1|All|IBM|10|Bought|02/05/2000|1000| ",
    ])


def wit():
    rows = [
        ["Date", "Type", "Quantity", "Security", "Price", "Amount"],
        [D(2000, 3, 1), "Bought", 100, "ACME", 10, 1000],
        [D(2000, 3, 2), "sold", 100, "ACME", 11, 1100],
        [D(2000, 3, 3), "Sold", -50, "ACME", 12, -600],
    ]
    sheet_fixture("wit", rows, '--broker "Wit Capital"', [
        "Wit-Account1|All|ACME|100|Bought|03/01/2000|1000|",
        "Wit-Account1|All|ACME|-50|Sold|03/03/2000|600|",
    ])
    write("wit/pasted.txt",
          "Date Transaction Quantity Security Price Amount Status\n"
          "03/01/2000 Bought 100 Acme  Widgets, Inc. $10.00 $30,000.00 Settled \n"
          "03/09/2000 Dividend 100 Acme Widgets, Inc. $0.10 $10.00 Settled \n"
          "12/02/2000 Sold 100 Acme Widgets, Inc. $300.00 $30,000.00 Settled\n")
    expected("wit/pasted.txt", '--broker "Wit Capital" --paste', [
        "Wit-Account1|All|ACMEWIDGETSINC|100|Bought|03/01/2000|30000|IPO",
        "Wit-Account1|All|ACMEWIDGETSINC|100|Sold|12/02/2000|29979.05| ",
    ])


def webstreet():
    rows = [
        ["Account", "Trade Date", "Settlement Date", "BuySell", "Symbol", "Quantity", "Price",
         "TotalPrice"],
        [],
        ["WS-778", D(2000, 3, 1), D(2000, 3, 4), "B", "IBM", 100, 10, -1000],
        ["WS-778", D(2000, 3, 2), D(2000, 3, 5), "S", "T", -5, 10, 50],
        ["WS-778", D(2000, 3, 2), D(2000, 3, 5), "DIV", "T", 0, 0, 5],
    ] + [[]] * 5 + [
        ["WS-778", D(2000, 3, 3), D(2000, 3, 6), "S", "ROW11", 1, 1, 1],
        [],
        ["WS-778", D(2000, 3, 3), D(2000, 3, 6), "S", "AFTER", 1, 1, 1],
    ]
    sheet_fixture("webstreet", rows, "--broker WebStreet", [
        "WS-778|All|IBM|100|Bought|03/04/2000|1000|",
        "WS-778|All|T|-5|Sold|03/05/2000|50|",
        "WS-778|All|ROW11|1|Sold|03/06/2000|1|",
    ])


def other():
    rows = [
        ["Date", "Type", "Description", "Quantity", "Amount", "Memo"],
        [D(2000, 3, 1), "Buy", "O'Reilly \"Class A\"", 100, -5000, "first lot"],
        [D(2000, 3, 2), "Sell", "IBM", -100, -5000, ""],
        [D(2000, 3, 3), "Dividend", "IBM", 0, 12, ""],
        ["pending", "Buy", "LATE", 1, 1, ""],
        [D(2000, 3, 4), "Subscription", "Acme Fund", 5, 50, ""],
        [None, "Buy", "GAP", 1, 1, ""],
        [D(2000, 3, 5), "Buy", "AFTERGAP", 1, 1, ""],
    ]
    sheet_fixture("other", rows, '--broker Other --account "O\'Brien IRA"', [
        "O'Brien IRA|All|O'Reilly \"Class A\"|100|Bought|03/01/2000|5000|",
        "O'Brien IRA|All|IBM|-100|Sold|03/02/2000|5000|",
        "O'Brien IRA|All|Acme Fund|5|Bought|03/04/2000|50|",
    ])


if __name__ == "__main__":
    etrade()
    datek()
    fbr()
    waterhouse()
    wit()
    webstreet()
    other()
