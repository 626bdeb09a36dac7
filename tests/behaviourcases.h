#pragma once

// One table of what a person sees: what is typed in the three boxes, the
// payment kind, the regional format, the button pressed; then the message
// boxes shown, in order, and what Text4 and Text5 hold. Every build runs
// every row through its real window: tst_mainwindow (Qt), wtst_form1 and
// wtst_exe (Windows), web/behaviour.py (the page, from behaviour.json).
//
// Before each row the adapter puts `untouched` into Text4 and Text5, so a
// row that writes nothing expects it there. Compute never changes the three
// inputs or the payment kind; Reset empties all five boxes and keeps the kind.
// Only the first of payment, rate and balance that is empty or exactly "0"
// is asked for.

#include "numbercases.h" // Region

enum class Kind
{
    Fixed,    // the list's first item
    Declining // its second, "Declining Minimum"
};

enum class Button
{
    Compute,
    Reset,
};

inline constexpr const char* untouched = "untouched";

// The message boxes' texts.
namespace messageText {
inline constexpr const char* payment = "Please enter this debt's current payment monthly amount";
inline constexpr const char* rate = "Please enter this debt's annual interest rate";
inline constexpr const char* balance = "Please enter this debt's current balance";
inline constexpr const char* limit =
    "Number of payments exceeds 600. Please increase the minimum payment percent and recalculate.";
} // namespace messageText

// 100 a month on 1000 at 18 % a year, 0.18 / 12 = 0.015 a month: interest
// 15 in month 1 (balance 915), 13.725 in month 2 (828.725), ... paid off in
// month 11 with 91.6226880636784 of interest in all: 91.6226880636784 / 11.
inline constexpr const char* workedAverage = "$8.32933527851622";

// The message boxes a row shows.
enum class Shown
{
    nothing,
    paymentMessage,
    rateMessage,
    balanceMessage,
    limitTwice, // once for each of the two simulations
};

struct BehaviourCase
{
    const char* name;
    const char* payment;
    const char* rate;
    const char* balance;
    const char* average; // Text4 afterwards
    const char* months;  // Text5 afterwards
    Shown shown = Shown::nothing;
    Kind kind = Kind::Fixed;
    Region region = Region::English;
    Button button = Button::Compute;
    int presses = 1;
};

inline constexpr BehaviourCase behaviourCases[] = {
    {"18 % a year, fixed 100: the worked example", "100", "18", "1000", workedAverage, "11"},
    // 10 % of the balance each month until that falls under 15, then 15:
    // 163.731081894299 of interest over 33 months. The second press gives the
    // same: nothing is carried over from the first.
    {"18 % a year, declining from 100, Compute pressed twice", "100", "18", "1000",
     "$4.96154793619089", "33", Shown::nothing, Kind::Declining, Region::English, Button::Compute,
     2},
    // 0.75 / 12 = 0.0625 a month. Month 1: 62.5 of interest, 1062.5 - 600
    // leaves 462.5; month 2: 28.90625 of interest, paid off. 91.40625 / 2.
    {"75 % a year, paid off in month 2", "600", "0.75", "1000", "$45.703125", "2"},
    {"grouped balance, spaces around the payment", " 100 ", "18", "1,000", workedAverage, "11"},
    // No interest: 6000 / 10 lands exactly on 0 with the 600th payment;
    // 6000.5 needs a 601st.
    {"paid off in month 600", "10", "0.0", "6000", "$0", "600"},
    {"would be paid off in month 601", "10", "0.0", "6000.5", "$0", "601", Shown::limitTwice},
    // Zero written otherwise than "0" is computed: ten whole payments.
    {"rate 0.0: no interest", "100", "0.0", "1000", "$0", "10"},
    // 10 a month never covers the first month's 15 of interest (at least 15
    // declining), so each of the two simulations passes the limit.
    {"past the 600-month limit, fixed", "10", "18", "1000", "$0", "601", Shown::limitTwice},
    {"past the 600-month limit, declining", "10", "18", "1000", "$0", "601", Shown::limitTwice,
     Kind::Declining},
    {"payment 0.0 at rate 0.0: past the limit", "0.0", "0.0", "1000", "$0", "601",
     Shown::limitTwice},
    // The rate rule. 2000 pays off 1000 in month 1, so the average is that
    // month's interest: annual rate / 12 * 1000, the rate divided by 100
    // first when it is 1 or more.
    // 0.18 / 12 * 1000
    {"18 is a percentage", "2000", "18", "1000", "$15", "1"},
    // 0.18 / 12 * 1000
    {"0.18 is a fraction", "2000", "0.18", "1000", "$15", "1"},
    // 0.01 / 12 * 1000
    {"1 is one percent", "2000", "1", "1000", "$0.833333333333333", "1"},
    // 0.99 / 12 * 1000
    {"0.99 is 99 %", "2000", "0.99", "1000", "$82.5", "1"},
    // 0.5 / 12 * 1000
    {"0.5 is 50 %", "2000", "0.5", "1000", "$41.6666666666667", "1"},
    // 1 / 12 * 1000
    {"100 is 100 %", "2000", "100", "1000", "$83.3333333333333", "1"},
    // -18 is never divided by 100: -1.5 a month, -1500 of interest.
    {"a negative rate is kept whole", "2000", "-18", "1000", "$-1500", "1"},
    // Missing input: its message alone, and nothing written.
    {"all three empty: only the payment message", "", "", "", untouched, untouched,
     Shown::paymentMessage},
    {"payment empty", "", "18", "1000", untouched, untouched, Shown::paymentMessage},
    {"payment 0", "0", "18", "1000", untouched, untouched, Shown::paymentMessage},
    {"rate 0, balance not looked at", "100", "0", "", untouched, untouched, Shown::rateMessage},
    {"rate empty", "100", "", "1000", untouched, untouched, Shown::rateMessage},
    {"balance 0", "100", "18", "0", untouched, untouched, Shown::balanceMessage},
    {"balance empty", "100", "18", "", untouched, untouched, Shown::balanceMessage},
    // Only the bare "0" counts as missing; other zeros go on to the next check.
    {"payment 00", "00", "", "", untouched, untouched, Shown::rateMessage},
    {"payment 0.0", "0.0", "", "", untouched, untouched, Shown::rateMessage},
    {"payment with a space before", " 0", "", "", untouched, untouched, Shown::rateMessage},
    {"payment with a space after", "0 ", "", "", untouched, untouched, Shown::rateMessage},
    {"payment -0", "-0", "", "", untouched, untouched, Shown::rateMessage},
    // A computation that fails ends silently: no box, nothing written.
    {"negative numbers pass the checks", "-100", "-18", "-5", untouched, untouched},
    {"declining, negative balance", "100", "18", "-5", untouched, untouched, Shown::nothing,
     Kind::Declining},
    {"letters as payment", "abc", "18", "1000", untouched, untouched},
    {"letters as rate", "100", "x", "1000", untouched, untouched},
    {"letters as balance", "100", "18", "abc", untouched, untouched},
    {"only spaces as payment", "  ", "18", "1000", untouched, untouched},
    {"only spaces as balance", "100", "18", "   ", untouched, untouched},
    {"infinity", "inf", "18", "1000", untouched, untouched},
    {"not a number", "100", "nan", "1000", untouched, untouched},
    {"beyond the double range", "100", "18", "1E+400", untouched, untouched},
    {"comma in an English number", "100", "18,5", "1000", untouched, untouched},
    // No month is simulated, so the average is 0 / 0.
    {"fixed, balance 0.0", "100", "18", "0.0", untouched, untouched},
    // The payment's share of the balance is 100 / 0.
    {"declining, balance 0.0", "100", "18", "0.0", untouched, untouched, Shown::nothing,
     Kind::Declining},
    // -1E+308 / 12 a month on 1E+308: the first interest overflows.
    {"huge rate and balance", "100", "-1E+308", "1E+308", untouched, untouched},
    {"huge payment and rate, declining", "1.7E+308", "-1E+308", "1E+308", untouched, untouched,
     Shown::nothing, Kind::Declining},
    // A comma decimal point and point grouping: the worked example, and
    // 18,5 % read as 18.5 (0.185 / 12 a month: 94.4421659310906 of interest
    // over 11 months, / 11).
    {"comma locale, grouped balance", "100", "18", "1.000", "$8,32933527851622", "11",
     Shown::nothing, Kind::Fixed, Region::German},
    {"comma locale, 18,5 %", "100", "18,5", "1000", "$8,58565144828096", "11", Shown::nothing,
     Kind::Fixed, Region::German},
    {"Reset empties every box and keeps the payment kind", "12", "12", "12", "", "", Shown::nothing,
     Kind::Declining, Region::English, Button::Reset},
    {"Reset on empty boxes says nothing", "", "", "", "", "", Shown::nothing, Kind::Fixed,
     Region::English, Button::Reset},
};

// What an input box holds after the row's button: Compute leaves it as typed.
constexpr const char* inputAfter(const BehaviourCase& row, const char* typed)
{
    return row.button == Button::Reset ? "" : typed;
}

// The texts of the boxes a row shows, in order.
struct Messages
{
    const char* text[2] = {};
    int count = 0;
};

constexpr Messages messagesOf(const BehaviourCase& row)
{
    switch (row.shown) {
    case Shown::paymentMessage:
        return {{messageText::payment}, 1};
    case Shown::rateMessage:
        return {{messageText::rate}, 1};
    case Shown::balanceMessage:
        return {{messageText::balance}, 1};
    case Shown::limitTwice:
        return {{messageText::limit, messageText::limit}, 2};
    case Shown::nothing:
        break;
    }
    return {};
}
