#!/usr/bin/env python3
"""Writes the broker preset fixtures: each broker's trade-history export as
its site lays it out (title lines, sections, totals and disclaimers
included), a few rows of each kind, and the rows a capture must store.

Each fixture has a sibling "<file>.expected" in the form of the other
capture fixtures. The .xlsx writer of the broker fixtures is reused.
Standard library only; the files are committed, so the tests need no Python.
"""

import datetime
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))

_spec = importlib.util.spec_from_file_location(
    "broker_fixtures", os.path.join(HERE, "..", "make_broker_fixtures.py"))
brk = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(brk)

D = datetime.date


def write(name, text):
    with open(os.path.join(HERE, name), "w", encoding="utf-8", newline="") as f:
        f.write(text)


def expected(name, args, rows, code=0):
    write(name + ".expected",
          "args: %s\nexit: %d\n%s" % (args, code, "".join(r + "|\n" for r in rows)))


def schwab():
    write("schwab.csv",
          '"Transactions  for account Individual ...123 as of 03/31/2024 08:15:02 ET"\r\n'
          '"Date","Action","Symbol","Description","Quantity","Price","Fees & Comm","Amount"\r\n'
          '"03/15/2024","Buy","AAPL","APPLE INC","10","$150.00","","-$1,500.00"\r\n'
          '"03/18/2024 as of 03/15/2024","Sell","AAPL","APPLE INC","5","$160.00","$0.65","$799.35"\r\n'
          '"03/19/2024","Reinvest Shares","SWVXX","SCHWAB VALUE ADVANTAGE MONEY","1.234","$1.00","","-$1.23"\r\n'
          '"03/19/2024","Reinvest Dividend","SWVXX","SCHWAB VALUE ADVANTAGE MONEY","","","","$1.23"\r\n'
          '"03/20/2024","Qualified Dividend","MSFT","MICROSOFT CORP","","","","$7.50"\r\n'
          '"03/21/2024","Buy to Open","AAPL 04/19/2024 180.00 C","CALL APPLE INC $180 EXP 04/19/24","1","$2.50","$0.66","-$250.66"\r\n'
          '"03/22/2024","Sell to Close","AAPL 04/19/2024 180.00 C","CALL APPLE INC $180 EXP 04/19/24","1","$3.10","$0.66","$309.34"\r\n'
          '"03/25/2024","Expired","AAPL 03/22/2024 170.00 P","PUT APPLE INC $170 EXP 03/22/24","1","","",""\r\n'
          '"03/25/2024","MoneyLink Transfer","","Tfr BANK, JOHN","","","","$5,000.00"\r\n'
          '"03/26/2024","Bank Interest","","BANK INT 022724-032624","","","","$0.42"\r\n'
          '"Transactions Total","","","","","","","$3,365.95"\r\n')
    expected("schwab.csv", "--broker Schwab --account Brokerage", [
        "Brokerage|All|AAPL|10|Bought|03/15/2024|1500|",
        "Brokerage|All|AAPL|5|Sold|03/18/2024|799.35|",
        "Brokerage|All|SWVXX|1.234|Bought|03/19/2024|1.23|",
        "Brokerage|All|AAPL 04/19/2024 180.00 C|1|Bought|03/21/2024|250.66|",
        "Brokerage|All|AAPL 04/19/2024 180.00 C|1|Sold|03/22/2024|309.34|",
        "Brokerage|All|AAPL 03/22/2024 170.00 P|1|Sold|03/25/2024|0|",
    ])


def fidelity():
    write("fidelity.csv",
          "\r\n\r\n"
          "Run Date,Account,Action,Symbol,Description,Type,Quantity,Price ($),Commission ($),"
          "Fees ($),Accrued Interest ($),Amount ($),Settlement Date\r\n"
          '03/15/2024,"Individual Z12345678"," YOU BOUGHT APPLE INC (AAPL) (Cash)",AAPL,'
          '"APPLE INC",Cash,10,150,,,,-1500,03/18/2024\r\n'
          '03/16/2024,"Individual Z12345678"," YOU SOLD APPLE INC (AAPL) (Margin)",AAPL,'
          '"APPLE INC",Margin,-5,160,,0.02,,799.98,03/19/2024\r\n'
          '03/17/2024,"ROTH IRA 234567890"," REINVESTMENT FIDELITY GOVERNMENT MONEY MARKET (SPAXX) (Cash)",'
          'SPAXX,"FIDELITY GOVERNMENT MONEY MARKET",Cash,12.34,1,,,,-12.34,\r\n'
          '03/17/2024,"ROTH IRA 234567890"," DIVIDEND RECEIVED FIDELITY GOVERNMENT MONEY MARKET (SPAXX) (Cash)",'
          'SPAXX,"FIDELITY GOVERNMENT MONEY MARKET",Cash,,,,,,12.34,\r\n'
          '03/20/2024,"Individual Z12345678"," ELECTRONIC FUNDS TRANSFER RECEIVED (Cash)", ,'
          '"No Description",Cash,,,,,,2500,\r\n'
          "\r\n\r\n"
          '"The data and information in this spreadsheet is provided to you solely for your use."\r\n'
          '"Date downloaded 03/31/2024 10:12 am"\r\n')
    expected("fidelity.csv", "--broker Fidelity", [
        "Individual Z12345678|All|AAPL|10|Bought|03/15/2024|1500|",
        "Individual Z12345678|All|AAPL|5|Sold|03/16/2024|799.98|",
        "ROTH IRA 234567890|All|SPAXX|12.34|Bought|03/17/2024|12.34|",
    ])


def fidelity_single():
    write("fidelity_single.csv",
          "\r\n"
          "Run Date,Action,Symbol,Security Description,Security Type,Quantity,Price ($),"
          "Commission ($),Fees ($),Accrued Interest ($),Amount ($),Settlement Date\r\n"
          "03/15/2024, YOU BOUGHT FIDELITY 500 INDEX FUND (FXAIX) (Cash), ,"
          "FIDELITY 500 INDEX FUND,Cash,2.5,180,,,,-450,03/18/2024\r\n"
          "03/16/2024, YOU SOLD APPLE INC (AAPL) (Cash),AAPL,APPLE INC,Cash,-5,160,,,,800,03/19/2024\r\n")
    expected("fidelity_single.csv", "--broker fidelity --account Z123", [
        "Z123|All|FIDELITY 500 INDEX FUND|2.5|Bought|03/15/2024|450|",
        "Z123|All|AAPL|5|Sold|03/16/2024|800|",
    ])


def vanguard():
    holdings = ("Account Number,Investment Name,Symbol,Shares,Share Price,Total Value,\r\n"
                "12345678,VANGUARD TOTAL STOCK MARKET ETF,VTI,25,250.1,6252.5,\r\n"
                "12345678,VANGUARD FEDERAL MONEY MARKET FUND,VMFXX,1234.56,1,1234.56,\r\n")
    trades = ("Account Number,Trade Date,Settlement Date,Transaction Type,Transaction Description,"
              "Investment Name,Symbol,Shares,Share Price,Principal Amount,Commissions and Fees,"
              "Net Amount,Accrued Interest,Account Type,\r\n"
              "12345678,2024-03-15,2024-03-18,Buy,Buy,VANGUARD TOTAL STOCK MARKET ETF,VTI,10,"
              "240.5,-2405.0,0.0,-2405.0,0.0,CASH,\r\n"
              "12345678,2024-03-20,2024-03-21,Sell,Sell,VANGUARD TOTAL STOCK MARKET ETF,VTI,-4,"
              "250.0,1000.0,0.0,1000.0,0.0,CASH,\r\n"
              "12345678,2024-03-25,2024-03-25,Dividend,Dividend Received,"
              "VANGUARD TOTAL STOCK MARKET ETF,VTI,0.0,1.0,8.76,0.0,8.76,0.0,CASH,\r\n"
              "87654321,2024-03-25,2024-03-25,Reinvestment,Dividend Reinvestment,"
              "VANGUARD 500 INDEX ADMIRAL,,0.123,450.0,-55.35,0.0,-55.35,0.0,CASH,\r\n"
              "12345678,2024-03-26,2024-03-26,Sweep in,Sweep in,"
              "VANGUARD FEDERAL MONEY MARKET FUND,VMFXX,1000.0,1.0,1000.0,0.0,1000.0,0.0,CASH,\r\n")
    write("vanguard.csv", holdings + "\r\n\r\n\r\n" + trades)
    expected("vanguard.csv", "--broker Vanguard", [
        "12345678|All|VTI|10|Bought|03/15/2024|2405|",
        "12345678|All|VTI|4|Sold|03/20/2024|1000|",
        "87654321|All|VANGUARD 500 INDEX ADMIRAL|0.123|Bought|03/25/2024|55.35|",
    ])


def robinhood():
    write("robinhood.csv",
          '"Activity Date","Process Date","Settle Date","Instrument","Description","Trans Code",'
          '"Quantity","Price","Amount"\r\n'
          '"3/15/2024","3/15/2024","3/19/2024","AAPL","Apple\nCUSIP: 037833100","Buy","10",'
          '"$150.00","($1,500.00)"\r\n'
          '"3/18/2024","3/18/2024","3/20/2024","AAPL","Apple\nCUSIP: 037833100","Sell","5",'
          '"$160.00","$800.00"\r\n'
          '"3/19/2024","3/19/2024","3/19/2024","AAPL","AAPL 4/19/2024 Call $180.00","BTO","1",'
          '"$2.50","($250.04)"\r\n'
          '"3/22/2024","3/22/2024","3/25/2024","AAPL","AAPL 4/19/2024 Call $180.00","STC","1",'
          '"$3.10","$309.96"\r\n'
          '"3/25/2024","3/25/2024","3/25/2024","AAPL","Option Expiration for AAPL 3/22/2024 Put $170.00",'
          '"OEXP","1","",""\r\n'
          '"3/25/2024","3/25/2024","3/25/2024","MSFT","Cash Div: R/D 2024-03-01 P/D 2024-03-25",'
          '"CDIV","","","$7.50"\r\n'
          '"3/26/2024","3/26/2024","3/26/2024","","ACH Deposit","ACH","","","$500.00"\r\n'
          '"3/27/2024","3/27/2024","3/27/2024","","Gold Subscription Fee","GOLD","","","($5.00)"\r\n'
          '\r\n'
          '"","","","","","","","","The data provided is for informational purposes only."\r\n')
    expected("robinhood.csv", "--broker robinhood", [
        "Robinhood1|All|AAPL|10|Bought|03/15/2024|1500|",
        "Robinhood1|All|AAPL|5|Sold|03/18/2024|800|",
        "Robinhood1|All|AAPL 04/19/2024 180.00 C|1|Bought|03/19/2024|250.04|",
        "Robinhood1|All|AAPL 04/19/2024 180.00 C|1|Sold|03/22/2024|309.96|",
        "Robinhood1|All|AAPL 03/22/2024 170.00 P|1|Sold|03/25/2024|0|",
    ])


def etrade():
    write("etrade.csv",
          "For Account:,#####1234\r\n"
          "\r\n"
          "TransactionDate,TransactionType,SecurityType,Symbol,Quantity,Amount,Price,Commission,"
          "Description\r\n"
          "03/15/24,Bought,EQ,AAPL,10,-1500.00,150.00,0.00,APPLE INC\r\n"
          "03/18/24,Sold,EQ,AAPL,-5,799.95,160.00,0.00,APPLE INC\r\n"
          "03/20/24,Dividend,EQ,MSFT,0,7.50,0.00,0.00,MICROSOFT CORP\r\n"
          "03/21/24,Online Transfer,,,0,1000.00,0.00,0.00,TRANSFER FROM BANK\r\n")
    expected("etrade.csv", '--broker "E*TRADE"', [
        "ETRADE1|All|AAPL|10|Bought|03/15/2024|1500|",
        "ETRADE1|All|AAPL|5|Sold|03/18/2024|799.95|",
    ])
    rows = [
        ["All Transactions Activity Types"],
        [],
        ["Account Activity for Individual Brokerage -1234 from Current Year"],
        [],
        ["Total:", -700.05],
        [],
        ["Activity/Trade Date", "Transaction Date", "Settlement Date", "Activity Type",
         "Description", "Symbol", "Cusip", "Quantity #", "Price $", "Amount $", "Commission",
         "Category", "Note"],
        [D(2024, 3, 15), D(2024, 3, 15), D(2024, 3, 19), "Bought", "APPLE INC", "AAPL",
         "037833100", 10, 150, -1500, 0, "--", "--"],
        [D(2024, 3, 18), D(2024, 3, 18), D(2024, 3, 20), "Sold", "APPLE INC", "AAPL",
         "037833100", -5, 160, 799.95, 0, "--", "--"],
        [D(2024, 3, 20), D(2024, 3, 20), D(2024, 3, 20), "Dividend", "MICROSOFT CORP", "MSFT",
         "594918104", 0, 0, 7.5, 0, "--", "--"],
        [D(2024, 3, 25), D(2024, 3, 25), D(2024, 3, 25), "Reinvestment", "VANGUARD 500 ADMIRAL",
         "--", "922908710", 0.5, 400, -200, 0, "--", "--"],
        [D(2024, 3, 26), D(2024, 3, 26), D(2024, 3, 26), "Interest Income", "EXTENDED INSURANCE SWEEP",
         "--", "--", 0, 0, 0.12, 0, "--", "--"],
    ]
    brk.write_xlsx(os.path.join("presets", "etrade_activity.xlsx"), rows)
    expected("etrade_activity.xlsx", '--broker "e*trade" --account "Brokerage -1234"', [
        "Brokerage -1234|All|AAPL|10|Bought|03/15/2024|1500|",
        "Brokerage -1234|All|AAPL|5|Sold|03/18/2024|799.95|",
        "Brokerage -1234|All|VANGUARD 500 ADMIRAL|0.5|Bought|03/25/2024|200|",
    ])


def interactive():
    write("ibkr_activity.csv",
          "Statement,Header,Field Name,Field Value\r\n"
          "Statement,Data,BrokerName,Interactive Brokers LLC\r\n"
          'Statement,Data,Period,"March 1, 2024 - March 31, 2024"\r\n'
          "Account Information,Header,Field Name,Field Value\r\n"
          "Account Information,Data,Account,U1234567\r\n"
          "Trades,Header,DataDiscriminator,Asset Category,Currency,Symbol,Date/Time,Quantity,"
          "T. Price,C. Price,Proceeds,Comm/Fee,Basis,Realized P/L,MTM P/L,Code\r\n"
          'Trades,Data,Order,Stocks,USD,AAPL,"2024-03-15, 09:30:01",10,150,151,-1500,-1,1501,0,10,O\r\n'
          'Trades,Data,Order,Stocks,USD,AAPL,"2024-03-18, 10:02:44",-5,160,160.5,800,-1.02,-750.5,48.48,-2.5,C\r\n'
          'Trades,Data,ClosedLot,Stocks,USD,AAPL,2024-03-15,5,150.1,,,,750.5,48.48,,ST\r\n'
          "Trades,SubTotal,,Stocks,USD,AAPL,,5,,,-700,-2.02,750.5,48.48,7.5,\r\n"
          "Trades,Total,,Stocks,USD,,,,,,-700,-2.02,750.5,48.48,7.5,\r\n"
          "Trades,Header,DataDiscriminator,Asset Category,Currency,Symbol,Date/Time,Quantity,"
          "T. Price,,Proceeds,Comm in USD,,,MTM in USD,Code\r\n"
          'Trades,Data,Order,Forex,USD,EUR.USD,"2024-03-20, 11:00:00",-1000,1.09,,1090,-2,,,0,\r\n'
          "Dividends,Header,Currency,Date,Description,Amount\r\n"
          "Dividends,Data,USD,2024-03-25,MSFT Cash Dividend USD 0.75 per Share,7.5\r\n")
    expected("ibkr_activity.csv", '--broker "Interactive Brokers" --account U1234567', [
        "U1234567|All|AAPL|10|Bought|03/15/2024|1501|",
        "U1234567|All|AAPL|5|Sold|03/18/2024|798.98|",
    ])
    write("ibkr_flex.csv",
          '"ClientAccountID","AssetClass","Symbol","Description","TradeDate","Quantity",'
          '"TradePrice","Proceeds","IBCommission","NetCash","Buy/Sell"\r\n'
          '"U1234567","STK","AAPL","APPLE INC","20240315","10","150","-1500","-1","-1501","BUY"\r\n'
          '"U7654321","STK","AAPL","APPLE INC","20240318","-5","160","800","-1.02","798.98","SELL"\r\n'
          '"U1234567","CASH","EUR.USD","EUR.USD","20240320","-1000","1.09","1090","-2","1088","SELL"\r\n')
    expected("ibkr_flex.csv", '--broker "interactive brokers"', [
        "U1234567|All|AAPL|10|Bought|03/15/2024|1501|",
        "U7654321|All|AAPL|5|Sold|03/18/2024|798.98|",
    ])


# Lines above the headings; a sale's quantity written negative; a
# conversion named in the notes; amounts with the dollar sign. Pub. 544 and
# Rev. Proc. 2024-28: a buy's fee is part of its cost, a sale's lowers the
# amount realized; the conversion is a sale of BTC at 3,000 less its 30 fee
# and a buy of ETH at 3,000; rewards are buys at their value when received.
# Coins received are of unknown cost; a send is kept, to take its lots to
# the receiving wallet; a buy priced in euros is left out.
def coinbase():
    write("coinbase.csv",
          'You can use this transaction report to inform your likely tax obligations.\r\n'
          'Transactions\r\n'
          'User,Jane Doe,5f1b2c3d\r\n'
          'ID,Timestamp,Transaction Type,Asset,Quantity Transacted,Price Currency,'
          'Price at Transaction,Subtotal,Total (inclusive of fees and/or spread),'
          'Fees and/or Spread,Notes\r\n'
          'a1,2025-01-10T15:00:00Z,Buy,BTC,0.1,USD,"$50,000.00","$5,000.00","$5,050.00",$50.00,'
          'Bought 0.1 BTC for 5050 USD\r\n'
          'a2,2025-02-01 12:00:00 UTC,Receive,ETH,2,USD,"$3,000.00",,,,'
          'Received 2 ETH from an external account\r\n'
          'a3,2025-03-02T03:30:00Z,Convert,BTC,-0.05,USD,"$60,000.00","$3,000.00","$3,030.00",'
          '$30.00,"Converted 0.05 BTC to 1.2 ETH"\r\n'
          'a4,2025-03-02T21:30:00-05:00,Staking Income,ETH,0.01,USD,"$3,100.00",$31.00,$31.00,'
          '$0.00,\r\n'
          'a5,2025-03-05 08:00:00 UTC,Rewards Income,USDC,10,USD,$1.00,$10.00,$10.00,$0.00,\r\n'
          'a6,2025-03-10T14:00:00Z,Advanced Trade Sell,BTC,-0.01,USD,"$62,000.00",-$620.00,'
          '-$613.80,$6.20,\r\n'
          'a7,2025-03-11T14:00:00Z,Send,BTC,-0.02,USD,"$61,000.00",,,,Sent to a wallet\r\n'
          'a8,2025-03-12T14:00:00Z,Buy,ETH,0.5,EUR,"2,800.00","1,400.00","1,414.00",14.00,\r\n')
    expected("coinbase.csv", "--broker coinbase", [
        "Coinbase1|All|BTC|0.1|Bought|01/10/2025|5050|",
        "Coinbase1|All|ETH|2|Bought|02/01/2025|0|",
        "Coinbase1|All|BTC|0.05|Sold|03/02/2025|2970|",
        "Coinbase1|All|ETH|1.2|Bought|03/02/2025|3000|",
        "Coinbase1|All|ETH|0.01|Bought|03/03/2025|31|",
        "Coinbase1|All|USDC|10|Bought|03/05/2025|10|",
        "Coinbase1|All|BTC|0.01|Sold|03/10/2025|613.8|",
    ])


# Times in UTC with fractions of a second; XXBT is BTC and ZUSD the dollar;
# a pair priced in bitcoin or euros, and a margin trade, are left out.
def kraken():
    write("kraken.csv",
          '"txid","ordertxid","pair","time","type","ordertype","price","cost","fee","vol",'
          '"margin","misc","ledgers"\r\n'
          '"TXA1","OA1","XXBTZUSD","2025-01-15 16:00:00.1234","buy","limit","40000.0",'
          '"4000.00000","10.40000","0.10000000","0.00000","","LA1,LB1"\r\n'
          '"TXA2","OA2","XETHZUSD","2025-02-01 09:00:00","buy","market","3000.0","3000.00000",'
          '"7.80000","1.00000000","0.00000","","LA2"\r\n'
          '"TXA3","OA3","XXBTZUSD","2025-06-30 23:45:00.5","sell","limit","60000.0","3000.00000",'
          '"7.80000","0.05000000","0.00000","","LA3"\r\n'
          '"TXA4","OA4","SOLUSD","2025-07-01 12:00:00","buy","market","150.0","300.00000",'
          '"0.78000","2.00000000","0.00000","","LA4"\r\n'
          '"TXA5","OA5","XETHXXBT","2025-07-02 12:00:00","sell","market","0.05","0.05000000",'
          '"0.00013","1.00000000","0.00000","","LA5"\r\n'
          '"TXA6","OA6","XXBTZEUR","2025-07-03 12:00:00","buy","market","55000.0","5500.00000",'
          '"14.30000","0.10000000","0.00000","","LA6"\r\n'
          '"TXA7","OA7","XXBTZUSD","2025-07-04 12:00:00","buy","limit","58000.0","5800.00000",'
          '"15.08000","0.10000000","1160.00000","","LA7"\r\n')
    expected("kraken.csv", "--broker Kraken", [
        "Kraken1|All|BTC|0.1|Bought|01/15/2025|4010.4|",
        "Kraken1|All|ETH|1|Bought|02/01/2025|3007.8|",
        "Kraken1|All|BTC|0.05|Sold|06/30/2025|2992.2|",
        "Kraken1|All|SOL|2|Bought|07/01/2025|300.78|",
    ])


if __name__ == "__main__":
    os.chdir(os.path.join(HERE, ".."))
    schwab()
    fidelity()
    fidelity_single()
    vanguard()
    robinhood()
    etrade()
    interactive()
    coinbase()
    kraken()
