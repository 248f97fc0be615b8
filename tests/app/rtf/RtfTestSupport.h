#pragma once
// Shared helpers of the rich-text reader tests.

#include "app/rtf/RtfReader.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable failure messages for texts and lists of them.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace karsidan::rtf::test {

inline std::unique_ptr<QTextDocument> Load(const QByteArray& data)
{
    auto document = std::make_unique<QTextDocument>();
    RtfReader::Read(data, *document);
    return document;
}

inline QStringList BlockTexts(const QTextDocument& document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts;
}

// The format of every character of the first occurrence of text; fails the
// test when the text is missing or its characters differ in format.
inline QTextCharFormat FormatOf(const QTextDocument& document, const QString& text)
{
    const QTextCursor found = document.find(text, 0, QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(found.isNull()) << "text not found: " << text.toStdString();
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    const QTextCharFormat first = cursor.charFormat();
    for (int p = found.selectionStart() + 2; p <= found.selectionEnd(); ++p) {
        cursor.setPosition(p);
        EXPECT_EQ(cursor.charFormat(), first) << "mixed formats in: " << text.toStdString();
    }
    return first;
}

inline QByteArray ReadDataFile(const char* name)
{
    QFile file(QStringLiteral(KARSIDAN_RTF_TEST_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

} // namespace karsidan::rtf::test
