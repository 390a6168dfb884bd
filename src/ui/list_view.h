#pragma once

#include <span>

#include <QString>
#include <QTableWidget>

namespace vantrel {

struct ListColumn
{
    const char* title;
    int width;
    Qt::Alignment alignment; // of the title and of every cell
};

struct ListViewSetup
{
    std::span<const ListColumn> columns;
    bool checkBoxes;         // a check box in front of every row, in column 0
    bool firstCellSelection; // only the first cell of the selected row is highlighted
};

// A report-style list view: a column header that never sorts, grid lines, one selected
// row that is shown only while the list has the focus, and no editing in place.
class ListViewWidget final : public QTableWidget
{
    Q_OBJECT

public:
    ListViewWidget(const ListViewSetup& setup, QWidget* parent);

    // Adds an empty row after the last one, its check box clear, and returns its index.
    int appendRow();
    // Rows and columns that do not exist read as empty and ignore writes.
    void setCellText(int row, int column, const QString& text);
    QString cellText(int row, int column) const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool holdsCell(int row, int column) const;
    void showSelection(bool shown);

    ListViewSetup m_setup;
    QPalette m_focusedColours;
};

} // namespace vantrel
