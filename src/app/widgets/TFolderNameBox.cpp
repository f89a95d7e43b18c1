#include "TFolderNameBox.h"

#include "kit_Text.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QValidator>

namespace {

// Upper-cases whatever the user types or pastes, keeping the cursor where it was.
class UpperCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = kit::simpleUpper(input);
        return Acceptable;
    }
};

} // namespace

TFolderNameBox::TFolderNameBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setMaxVisibleItems(40);
    view()->setMinimumWidth(80);
    lineEdit()->setValidator(new UpperCaseValidator(this));
}

void TFolderNameBox::setText(const QString &text)
{
    setEditText(kit::simpleUpper(text));
}

void TFolderNameBox::addEntry(const QString &entry)
{
    // QComboBox selects the first entry added to an empty list; the box's text must not change.
    const QString text = currentText();
    const int index = currentIndex();
    addItem(kit::simpleUpper(entry));
    if (currentIndex() != index) {
        setCurrentIndex(index);
        setEditText(text);
    }
}
