// Number conversions in the user's regional format.
#include "localenumbers.h"
#include "numbercases.h"
#include "runtimeerror.h"

#include <QLibraryInfo>
#include <QTest>
#include <QVersionNumber>

#include <cfloat>
#include <cmath>
#include <string_view>

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates); // 1,234.5
const QLocale german(QLocale::German, QLocale::Germany);        // 1.234,5
const QLocale french(QLocale::French, QLocale::France);         // 1 234,5
const QLocale swedish(QLocale::Swedish, QLocale::Sweden);       // 1 234,5, minus U+2212
const QLocale hebrew(QLocale::Hebrew, QLocale::Israel);         // right to left
const QLocale india(QLocale::English, QLocale::India);          // 12,34,567.5

const QLocale& localeOf(Region region)
{
    return region == Region::English ? english : region == Region::German ? german : india;
}

// Reads text into *value. A RuntimeError comes back as false, to fail the
// one check that made it, where an escaping exception would end the whole
// run and lose the report of every test after it.
bool tryRead(const LocaleNumbers& numbers, const std::string& text, double* value)
{
    try {
        *value = numbers.toDouble(text);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

} // namespace

class TestLocaleNumbers : public QObject
{
    Q_OBJECT

private slots:
    void readsRegionalNumbers_data();
    void readsRegionalNumbers();
    void rejectsWhatIsNoFiniteNumber_data();
    void rejectsWhatIsNoFiniteNumber();
    void writesFifteenDigits_data();
    void writesFifteenDigits();
    void writesMonthCountsAsPlainDigits();
    void readsBackWhatItWrites_data();
    void readsBackWhatItWrites();
    // The cases the Windows and web builds are held to as well, which the
    // tables above do not repeat.
    void readsAsWindowsDoes_data();
    void readsAsWindowsDoes();
    void writesAsWindowsDoes_data();
    void writesAsWindowsDoes();
};

void TestLocaleNumbers::readsRegionalNumbers_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("point locale, negative") << english << "-3.25" << -3.25;
    QTest::newRow("space grouping, typed space") << french << "1 234,5" << 1234.5;
    QTest::newRow("space grouping, narrow no-break space")
        << french << QString::fromUtf8("1\u202f234,5") << 1234.5;
    QTest::newRow("space grouping, ASCII minus") << swedish << "-12,5" << -12.5;
    QTest::newRow("space grouping, exponent") << swedish << "1E+15" << 1e15;
    // Qt 6.4's Swedish parser takes "E" but refuses a small "e": these are
    // read by the plain form alone, which must swap the decimal comma for a
    // point and drop the spaces around.
    QTest::newRow("space grouping, small e exponent") << swedish << "2,5e-05" << 2.5e-5;
    QTest::newRow("space grouping, small e exponent, spaces around")
        << swedish << "  2,5e-05  " << 2.5e-5;
    QTest::newRow("right-to-left locale") << hebrew << "-12.5" << -12.5;
}

void TestLocaleNumbers::readsRegionalNumbers()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(double, value);
    double read = 0;
    QVERIFY2(tryRead(LocaleNumbers(locale), text.toStdString(), &read), qPrintable(text));
    QCOMPARE(read, value);
}

void TestLocaleNumbers::rejectsWhatIsNoFiniteNumber_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << english << "";
    QTest::newRow("only spaces") << english << "   ";
    QTest::newRow("letters") << english << "abc";
    QTest::newRow("number then letters") << english << "12abc";
    QTest::newRow("hexadecimal") << english << "0x10";
    QTest::newRow("negative infinity") << english << "-inf";
    // "." groups thousands here; it must not be taken for a decimal point.
    QTest::newRow("comma locale, point decimal") << german << "1.5";
    QTest::newRow("space grouping, point decimal") << french << "12.5";
}

void TestLocaleNumbers::rejectsWhatIsNoFiniteNumber()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, LocaleNumbers(locale).toDouble(text.toStdString()));
}

void TestLocaleNumbers::writesFifteenDigits_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("exact") << english << 12.5 << "12.5";
    QTest::newRow("whole number") << english << 100.0 << "100";
    QTest::newRow("two thirds, rounded up") << english << 2.0 / 3 << "0.666666666666667";
    // 0.1 + 0.2 is 0.30000000000000004: 15 digits hide the binary error.
    QTest::newRow("binary noise dropped") << english << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative zero") << english << -0.0 << "0";
    QTest::newRow("negative") << english << -1500.0 << "-1500";
    QTest::newRow("largest plain") << english << 999999999999999.0 << "999999999999999";
    QTest::newRow("rounds up into exponent form") << english << 9999999999999999.0 << "1E+16";
    QTest::newRow("smallest plain") << english << 0.0001 << "0.0001";
    QTest::newRow("largest double") << english << DBL_MAX << "1.79769313486232E+308";
    QTest::newRow("space grouping, no grouping") << french << -1234567.25 << "-1234567,25";
    QTest::newRow("right-to-left locale, ASCII minus") << hebrew << -12.5 << "-12.5";
}

void TestLocaleNumbers::writesFifteenDigits()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(LocaleNumbers(locale).toText(value)), text);
}

void TestLocaleNumbers::writesMonthCountsAsPlainDigits()
{
    QCOMPARE(LocaleNumbers::toText(MonthCount(601)), "601");
    QCOMPARE(LocaleNumbers::toText(MonthCount(0)), "0");
    QCOMPARE(LocaleNumbers::toText(MonthCount(-7)), "-7");
    QCOMPARE(LocaleNumbers::toText(MonthCount(32767)), "32767");
}

void TestLocaleNumbers::readsBackWhatItWrites_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point locale") << english;
    QTest::newRow("comma locale") << german;
    QTest::newRow("space grouping") << french;
    QTest::newRow("space grouping, Unicode minus") << swedish;
    QTest::newRow("right-to-left locale") << hebrew;
}

void TestLocaleNumbers::readsBackWhatItWrites()
{
    QFETCH(QLocale, locale);
    const LocaleNumbers numbers(locale);
    for (double value : {-1500.0, 8.329335278516218, 1e15, -1.5e-300, 1.23456789012346e17, DBL_MIN,
                         4.9e-324, 0.000123}) {
        const std::string text = numbers.toText(value);
        // What was written has 15 significant digits; reading it back must
        // land within half a unit in the 15th digit.
        double back = 0;
        QVERIFY2(tryRead(numbers, text, &back), text.c_str());
        QVERIFY2(std::abs(back - value) <= std::abs(value) * 5e-15, text.c_str());
    }
    // The largest double rounds up to a text just past the range.
    QVERIFY_THROWS_EXCEPTION(RuntimeError, numbers.toDouble(numbers.toText(DBL_MAX)));
}

void TestLocaleNumbers::readsAsWindowsDoes_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(readCases)); ++i)
        QTest::newRow(readCases[i].name) << i;
}

void TestLocaleNumbers::readsAsWindowsDoes()
{
    QFETCH(int, row);
    const ReadCase& c = readCases[row];
    double value = 0;
    // Qt 6.4 refuses a first group of three before a group of three in
    // India's format, as the Windows and web builds do; later Qt reads it.
    if (QLibraryInfo::version() >= QVersionNumber(6, 5) &&
        std::string_view(c.name) == "India, three in a higher group")
        QEXPECT_FAIL("", "Qt after 6.4 reads \"123,456\" in India's format", Continue);
    QCOMPARE(tryRead(LocaleNumbers(localeOf(c.region)), c.text, &value), c.readable);
    if (c.readable)
        QCOMPARE(value, c.value);
}

void TestLocaleNumbers::writesAsWindowsDoes_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(writeCases)); ++i)
        QTest::newRow(writeCases[i].name) << i;
}

void TestLocaleNumbers::writesAsWindowsDoes()
{
    QFETCH(int, row);
    const WriteCase& c = writeCases[row];
    const LocaleNumbers numbers(localeOf(c.region));
    QCOMPARE(numbers.toText(c.value), c.text);
    double back = 0;
    QVERIFY(tryRead(numbers, c.text, &back));
    QCOMPARE(numbers.toText(back), c.text);
}

QTEST_GUILESS_MAIN(TestLocaleNumbers)
#include "tst_localenumbers.moc"
