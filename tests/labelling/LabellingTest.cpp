// The legal wording of allergens and the CNPJ check, on the values a kitchen types.
#include "labelling/Allergens.h"
#include "labelling/Cnpj.h"

#include <gtest/gtest.h>

namespace pla {

TEST(Allergens, TheDeclarationJoinsTheUnionInTheLawsOrderAndForm) {
    const struct {
        QStringList lists;
        const char* declaration;
    } cases[] = {
        {{}, ""},
        {{"", " "}, ""},
        {{"leite"}, "ALÉRGICOS: CONTÉM LEITE."},
        {{"Leite", "OVOS"}, "ALÉRGICOS: CONTÉM OVOS E LEITE."},
        {{"leite, trigo", "ovos,leite"}, "ALÉRGICOS: CONTÉM TRIGO, OVOS E LEITE."},
        {{"látex natural, castanha-do-pará, amêndoa"},
         "ALÉRGICOS: CONTÉM AMÊNDOA, CASTANHA-DO-PARÁ E LÁTEX NATURAL."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Allergens::Declaration(c.lists), QString::fromUtf8(c.declaration))
            << c.lists.join('|').toStdString();

    QString unknown;
    EXPECT_FALSE(Allergens::Parse(QStringLiteral("leite, glúten"), unknown));
    EXPECT_EQ(unknown, QStringLiteral("glúten"));
}

TEST(Cnpj, CheckDigitsAreVerifiedWithOrWithoutPunctuation) {
    const struct {
        const char* text;
        const char* digits; // empty: refused
    } cases[] = {
        {"11222333000181", "11222333000181"},
        {"11.222.333/0001-81", "11222333000181"},
        {" 47.381.265/0002-21 ", "47381265000221"},
        {"11.222.333/0001-82", ""}, // second check digit wrong
        {"11.222.333/0001-91", ""}, // first check digit wrong
        {"1122233300018", ""},      // 13 digits
        {"00000000000000", ""},     // passes the arithmetic, names no company
        {"11.222.333/0001-8A", ""},
    };
    for (const auto& c : cases) {
        QString reason;
        EXPECT_EQ(Cnpj::Digits(QString::fromLatin1(c.text), reason), QString::fromLatin1(c.digits))
            << c.text;
        EXPECT_EQ(reason.isEmpty(), *c.digits != 0) << c.text;
    }
    EXPECT_EQ(Cnpj::Format(QStringLiteral("01234567000195")), QStringLiteral("01.234.567/0001-95"));
}

} // namespace pla
