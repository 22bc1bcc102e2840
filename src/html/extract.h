#pragma once
#include <QString>
#include <QStringView>

// The routine that joins the document model to the check engine: the text of
// the elements an XPath expression selects in a page.
namespace sentrel {

// Where a modal error message goes (the desktop program shows a message box
// with an error icon and an OK button; the command line prints it).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showError(const QString &title, const QString &text) = 0;
};

// How ExtractXPathText prints one selected node.
enum XPathTextMode : int {
    TagAndText = 0, // GetTagName, a blank, GetTextValue(0)
    TagOnly = 1,    // GetTagName
    // any other value: GetTextValue(0)
};

// Parses `text` into a fresh tree, evaluates `expression` on its root and
// prints every selected node as one line, lines separated by a lone carriage
// return (no line feed, none after the last). Never throws: a text without
// tags, an expression it cannot read or one that selects nothing give "". With
// showErrors, the error's message goes to `errors` with the title "ERROR".
QString ExtractXPathText(QStringView text, QStringView expression, int mode, bool showErrors,
                         MessageSink *errors = nullptr);

// Throws the Error the evaluator would raise for `expression` on any page:
// no step, a step it cannot read ("XPath is not correct /step") or a
// predicate it cannot read ("Attribute not found: ..."). The evaluator reads
// a predicate only when its walk reaches that step, so an expression can look
// fine on one page and fail on the next; this reads every step at once, for
// a check of the expression before it is stored or used.
void validateXPath(QStringView expression);

} // namespace sentrel
