#include "TFolderNameBox.h"

#include "TEntryListModel.h"
#include "TRowDelegate.h"
#include "kit_LISTES.h"
#include "kit_Text.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QValidator>
#include <algorithm>

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

bool lessIgnoringCase(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

} // namespace

TFolderNameBox::TFolderNameBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setMaxVisibleItems(40);
    // The box has its designed size; measuring every entry would cost dearly with long lists.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    view()->setMinimumWidth(80);
    view()->setItemDelegate(new TRowDelegate(13, view()));
    if (auto *list = qobject_cast<QListView *>(view()))
        list->setUniformItemSizes(true);
    lineEdit()->setValidator(new UpperCaseValidator(this));
    // Qt's completer would complete ignoring list order and without selecting the entry. Gone
    // before the model is set, which would otherwise be handed to it first.
    setCompleter(nullptr);
    m_entries = new TEntryListModel(this);
    setModel(m_entries);
    // Without a placeholder QComboBox selects the first entry added to an empty list, which
    // would replace the box's text. An editable box never shows it.
    setPlaceholderText(QStringLiteral(" "));
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &TFolderNameBox::completeTyping);
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &first) { entryWritten(first.row()); });
}

void TFolderNameBox::setText(const QString &text)
{
    setEditText(kit::simpleUpper(text));
}

void TFolderNameBox::addEntry(const QString &entry)
{
    addItem(entry);
}

QStringList TFolderNameBox::entries() const
{
    return m_entries->stringList();
}

void TFolderNameBox::keepTextAndIndex(int index, const QString &text)
{
    m_adjusting = true;
    setCurrentIndex(index);
    if (currentText() != text)
        setEditText(text);
    m_adjusting = false;
}

// A new entry gets its text after its row exists; in a sorted box it then moves to its place
// among the others, which are in order already.
void TFolderNameBox::entryWritten(int row)
{
    if (m_adjusting || !m_sorted)
        return;
    const int n = count();
    const QString text = m_entries->entry(row).toString();
    auto less = [](QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    const bool inPlace = (row == 0 || !less(text, m_entries->entry(row - 1))) &&
                         (row + 1 == n || !less(m_entries->entry(row + 1), text));
    if (inPlace)
        return;
    // The first place, among the others, after every entry not greater than it.
    int lo = 0;
    int hi = n - 1;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (less(text, m_entries->entry(mid < row ? mid : mid + 1)))
            hi = mid;
        else
            lo = mid + 1;
    }
    const int place = lo;
    const int index = currentIndex();
    const QString current = currentText();
    m_adjusting = true;
    // Past the moved row's own position, the destination counts the row itself.
    m_entries->moveRows({}, row, 1, {}, place > row ? place + 1 : place);
    m_adjusting = false;
    if (index != currentIndex() || current != currentText())
        keepTextAndIndex(index == row ? place : currentIndex(), current);
}

void TFolderNameBox::replaceEntries(const QStringList &list)
{
    const int index = currentIndex();
    const QString text = currentText();
    m_adjusting = true;
    m_entries->setStringList(list);
    m_adjusting = false;
    keepTextAndIndex(index < count() ? index : -1, text);
}

void TFolderNameBox::setSorted(bool sorted)
{
    m_sorted = sorted;
    if (!sorted)
        return;
    QStringList list = entries();
    if (std::is_sorted(list.cbegin(), list.cend(), lessIgnoringCase))
        return;
    std::stable_sort(list.begin(), list.end(), lessIgnoringCase);
    replaceEntries(list);
}

void TFolderNameBox::LoadFromFile(const QString &path)
{
    const kit::DecodedText list = kit_LISTES::readListText(path);
    m_encoding = list.encoding;
    const QString text = currentText();
    m_adjusting = true;
    m_entries->setDecodedText(list);
    m_adjusting = false;
    if (m_sorted)
        setSorted(true);
    keepTextAndIndex(-1, text);
}

void TFolderNameBox::SaveToFile(const QString &path) const
{
    kit_LISTES::writeListFile(path, entries(), m_encoding);
}

void TFolderNameBox::removeEntry(int index)
{
    const QString text = currentText();
    m_adjusting = true;
    removeItem(index);
    m_adjusting = false;
    keepTextAndIndex(-1, text);
}

// Erasing never completes, or the text could never be made shorter than an entry. Keys reach
// the edit field either through the box or directly, so both are watched.
void TFolderNameBox::noteKey(const QKeyEvent *event)
{
    m_completeNext = event->key() != Qt::Key_Backspace && event->key() != Qt::Key_Delete;
}

void TFolderNameBox::keyPressEvent(QKeyEvent *event)
{
    noteKey(event);
    QComboBox::keyPressEvent(event);
}

bool TFolderNameBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress)
        noteKey(static_cast<QKeyEvent *>(event));
    return QComboBox::eventFilter(watched, event);
}

// Inline completion: the first entry in list order that begins with the typed text becomes the
// selected entry, its remaining part selected so that typing on replaces it.
void TFolderNameBox::completeTyping(const QString &typed)
{
    if (m_adjusting)
        return;
    const bool complete = m_completeNext;
    m_completeNext = true;
    int found = -1;
    if (complete && !typed.isEmpty()) {
        const int n = count();
        for (int i = 0; i < n; ++i) {
            if (m_entries->entry(i).startsWith(typed, Qt::CaseInsensitive)) {
                found = i;
                break;
            }
        }
    }
    if (found < 0) {
        const int cursor = lineEdit()->cursorPosition();
        keepTextAndIndex(-1, typed);
        lineEdit()->setCursorPosition(cursor);
        return;
    }
    const QString entry = itemText(found);
    keepTextAndIndex(found, entry);
    lineEdit()->setSelection(int(entry.size()), int(typed.size() - entry.size()));
}
