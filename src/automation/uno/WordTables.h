#pragma once

#include "EmulatedObject.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <functional>

// Word's Tables, Table, Rows/Row, Columns/Column, the table's Range, Cells,
// Cell and a cell's Range, over the office's text tables. Cells are found
// from the table's cell names ("B3": column 2 of row 3); a cell covered by
// a vertical merge is not a cell of its own, as in Word.
class WordTables : public EmulatedObject
{
public:
    explicit WordTables(css::uno::Reference<css::lang::XComponent> document);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
};

class WordTable : public EmulatedObject
{
public:
    WordTable(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer rows(const QVariantList &args);
    Answer columns(const QVariantList &args);
    Answer range(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
};

// Rows or Columns of a table.
class WordTableLines : public EmulatedObject
{
public:
    enum Kind { Rows, Columns };
    WordTableLines(css::uno::Reference<css::lang::XComponent> document,
                   css::uno::Reference<css::text::XTextTable> table, Kind kind);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    Kind m_kind;
};

// One row, one column, or the table's whole range: something with Cells.
class WordTableLine : public EmulatedObject
{
public:
    WordTableLine(css::uno::Reference<css::lang::XComponent> document,
                  css::uno::Reference<css::text::XTextTable> table, WordTableLines::Kind kind, int index);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer cells(const QVariantList &args);
    Answer remove(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    WordTableLines::Kind m_kind;
    int m_index; // 0: the whole table
};

struct WordCellPosition
{
    QString name;
    int row;
    int column;
};

class WordCells : public EmulatedObject
{
public:
    using Filter = std::function<bool(const WordCellPosition &)>;
    WordCells(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table,
              Filter filter);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    QList<WordCellPosition> positions() const;
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    Filter m_filter;
};

class WordCell : public EmulatedObject
{
public:
    WordCell(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table,
             const WordCellPosition &position);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer rowIndex(const QVariantList &args);
    Answer columnIndex(const QVariantList &args);
    Answer range(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    WordCellPosition m_position;
};

class WordCellRange : public EmulatedObject
{
public:
    WordCellRange(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XText> text);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer text(const QVariantList &args);
    Answer fields(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XText> m_text;
};
