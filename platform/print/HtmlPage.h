#pragma once

#include <QString>

class QTextDocument;

namespace platform {

// Qt's HTML reader lays out the program's pages (the answer report above all)
// differently from a browser in a few places; these mend them. Shared by the
// view on screen and the printed copy, so both show the same page.
class HtmlPage {
public:
    // Qt's style-sheet reader drops a whole style block wrapped in the old
    // "<!-- ... -->" guard; the guard is taken off.
    static QString unguardStyles(const QString& html);
    // A "</p>" without an open paragraph ends a line in a browser but nothing
    // in Qt's reader; it becomes a line break.
    static QString breakStrayParagraphEnds(const QString& html);
    // Tables whose columns all have percentage widths fill their own width, as
    // in a browser; Qt would leave the rest of the table empty.
    static void spreadPercentageColumns(QTextDocument& document);

    // The page with its styles unguarded and stray paragraph ends broken;
    // the document it goes into then has its columns spread.
    static QString mended(const QString& html);
};

} // namespace platform
