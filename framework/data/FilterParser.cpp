#include "framework/data/FilterParser.h"

#include "framework/data/DatabaseError.h"

#include <vector>

namespace pla {

namespace {

enum class Tok { Ident, Number, String, Op, LParen, RParen, And, Or, Not, Minus, End };

struct Token {
    Tok type = Tok::End;
    QString text;
    FilterNode::Op op = FilterNode::Op::Eq;
    int pos = 0;
};

class Parser {
public:
    explicit Parser(const QString& text) : text_(text) { tokenize(); }

    std::unique_ptr<FilterNode> parse() {
        auto n = parseOr();
        if (peek().type != Tok::End) unexpected(peek());
        requireBoolean(*n);
        return n;
    }

private:
    [[noreturn]] void fail(const QString& detail) const {
        throw EDatabaseError(QStringLiteral("Filtro inválido \"%1\": %2.").arg(text_, detail));
    }
    [[noreturn]] void unexpected(const Token& t) const {
        if (t.type == Tok::End) fail(QStringLiteral("a expressão termina antes do esperado"));
        // One arg() for both: a token such as '%1' must not be taken for a placeholder.
        fail(QStringLiteral("\"%1\" inesperado na posição %2")
                 .arg(t.text, QString::number(t.pos + 1)));
    }
    void requireBoolean(const FilterNode& n) const {
        if (!n.IsBoolean())
            fail(QStringLiteral("esperada uma comparação na posição %1").arg(n.position + 1));
    }

    void tokenize() {
        const int n = text_.size();
        int i = 0;
        while (i < n) {
            const QChar c = text_[i];
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token t;
            t.pos = i;
            if (c.isLetter() || c == QLatin1Char('_')) {
                int j = i + 1;
                while (j < n && (text_[j].isLetterOrNumber() || text_[j] == QLatin1Char('_')))
                    ++j;
                t.text = text_.mid(i, j - i);
                const QString up = t.text.toUpper();
                t.type = up == QLatin1String("AND")   ? Tok::And
                         : up == QLatin1String("OR")  ? Tok::Or
                         : up == QLatin1String("NOT") ? Tok::Not
                                                      : Tok::Ident;
                i = j;
            } else if (c.isDigit() ||
                       (c == QLatin1Char('.') && i + 1 < n && text_[i + 1].isDigit())) {
                int j = i;
                while (j < n && text_[j].isDigit())
                    ++j;
                if (j < n && text_[j] == QLatin1Char('.')) {
                    ++j;
                    while (j < n && text_[j].isDigit())
                        ++j;
                }
                // An exponent, as data packets may write large or small numbers: 1e+05.
                if (j < n && (text_[j] == QLatin1Char('e') || text_[j] == QLatin1Char('E'))) {
                    int k = j + 1;
                    if (k < n && (text_[k] == QLatin1Char('+') || text_[k] == QLatin1Char('-')))
                        ++k;
                    if (k < n && text_[k].isDigit()) {
                        while (k < n && text_[k].isDigit())
                            ++k;
                        j = k;
                    }
                }
                if (j < n && (text_[j].isLetter() || text_[j] == QLatin1Char('_') ||
                              text_[j] == QLatin1Char('.')))
                    fail(QStringLiteral("número malformado na posição %1").arg(i + 1));
                t.type = Tok::Number;
                t.text = text_.mid(i, j - i);
                i = j;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                QString s;
                int j = i + 1;
                bool closed = false;
                while (j < n) {
                    if (text_[j] == c) {
                        if (j + 1 < n && text_[j + 1] == c) {
                            s += c;
                            j += 2;
                            continue;
                        }
                        closed = true;
                        ++j;
                        break;
                    }
                    s += text_[j++];
                }
                if (!closed)
                    fail(QStringLiteral("texto sem aspas de fechamento na posição %1").arg(i + 1));
                t.type = Tok::String;
                t.text = s;
                i = j;
            } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
                t.type = c == QLatin1Char('(') ? Tok::LParen : Tok::RParen;
                t.text = c;
                ++i;
            } else if (c == QLatin1Char('-')) {
                t.type = Tok::Minus;
                t.text = c;
                ++i;
            } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
                t.type = Tok::Op;
                const QChar d = i + 1 < n ? text_[i + 1] : QChar();
                if (c == QLatin1Char('<') && d == QLatin1Char('>'))
                    t.op = FilterNode::Op::Ne, t.text = QStringLiteral("<>");
                else if (c == QLatin1Char('<') && d == QLatin1Char('='))
                    t.op = FilterNode::Op::Le, t.text = QStringLiteral("<=");
                else if (c == QLatin1Char('>') && d == QLatin1Char('='))
                    t.op = FilterNode::Op::Ge, t.text = QStringLiteral(">=");
                else if (c == QLatin1Char('<'))
                    t.op = FilterNode::Op::Lt, t.text = c;
                else if (c == QLatin1Char('>'))
                    t.op = FilterNode::Op::Gt, t.text = c;
                else
                    t.op = FilterNode::Op::Eq, t.text = c;
                i += t.text.size();
            } else {
                fail(QStringLiteral("caractere \"%1\" inesperado na posição %2").arg(c).arg(i + 1));
            }
            tokens_.push_back(t);
        }
        Token end;
        end.pos = n;
        tokens_.push_back(end);
    }

    const Token& peek() const { return tokens_[next_]; }
    const Token& take() { return tokens_[next_++]; }

    std::unique_ptr<FilterNode> binary(FilterNode::Kind k, std::unique_ptr<FilterNode> l,
                                       std::unique_ptr<FilterNode> r) {
        requireBoolean(*l);
        requireBoolean(*r);
        auto n = std::make_unique<FilterNode>();
        n->kind = k;
        n->position = l->position;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    std::unique_ptr<FilterNode> parseOr() {
        auto l = parseAnd();
        while (peek().type == Tok::Or) {
            take();
            l = binary(FilterNode::Kind::Or, std::move(l), parseAnd());
        }
        return l;
    }

    std::unique_ptr<FilterNode> parseAnd() {
        auto l = parseNot();
        while (peek().type == Tok::And) {
            take();
            l = binary(FilterNode::Kind::And, std::move(l), parseNot());
        }
        return l;
    }

    std::unique_ptr<FilterNode> parseNot() {
        if (peek().type == Tok::Not) {
            const int pos = take().pos;
            auto operand = parseNot();
            requireBoolean(*operand);
            auto n = std::make_unique<FilterNode>();
            n->kind = FilterNode::Kind::Not;
            n->position = pos;
            n->left = std::move(operand);
            return n;
        }
        return parseComparison();
    }

    std::unique_ptr<FilterNode> parseComparison() {
        auto l = parsePrimary();
        if (peek().type != Tok::Op) return l;
        const Token op = take();
        auto r = parsePrimary();
        if (l->IsBoolean() || r->IsBoolean())
            fail(QStringLiteral("\"%1\" na posição %2 compara uma condição, não um valor")
                     .arg(op.text)
                     .arg(op.pos + 1));
        auto n = std::make_unique<FilterNode>();
        n->kind = FilterNode::Kind::Compare;
        n->op = op.op;
        n->position = l->position;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    std::unique_ptr<FilterNode> parsePrimary() {
        const Token t = take();
        auto n = std::make_unique<FilterNode>();
        n->position = t.pos;
        switch (t.type) {
        case Tok::LParen: {
            auto inner = parseOr();
            if (peek().type != Tok::RParen) {
                if (peek().type == Tok::End)
                    fail(QStringLiteral("parêntese aberto na posição %1 não foi fechado")
                             .arg(t.pos + 1));
                unexpected(peek());
            }
            take();
            return inner;
        }
        case Tok::Ident:
            n->kind = FilterNode::Kind::Field;
            n->text = t.text;
            return n;
        case Tok::String:
            n->kind = FilterNode::Kind::String;
            n->text = t.text;
            return n;
        case Tok::Minus: {
            if (peek().type != Tok::Number) unexpected(peek());
            const Token num = take();
            n->kind = FilterNode::Kind::Number;
            n->text = QLatin1Char('-') + num.text;
            n->number = -num.text.toDouble();
            return n;
        }
        case Tok::Number:
            n->kind = FilterNode::Kind::Number;
            n->text = t.text;
            n->number = t.text.toDouble();
            return n;
        default:
            unexpected(t);
        }
    }

    QString text_;
    std::vector<Token> tokens_;
    size_t next_ = 0;
};

} // namespace

std::unique_ptr<FilterNode> FilterParser::Parse(const QString& text) {
    return Parser(text).parse();
}

} // namespace pla
