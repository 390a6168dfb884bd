#include "ui/list_view.h"

#include "ui/first_cell_selection.h"

#include <QFocusEvent>
#include <QHeaderView>

namespace vantrel {
namespace {

Qt::Alignment cellAlignment(const ListColumn& column)
{
    return column.alignment | Qt::AlignVCenter;
}

} // namespace

ListViewWidget::ListViewWidget(const ListViewSetup& setup, QWidget* parent)
    : QTableWidget(0, static_cast<int>(setup.columns.size()), parent), m_setup(setup)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(setup.firstCellSelection ? SelectItems : SelectRows);
    if (setup.firstCellSelection) {
        QItemSelectionModel* previous = selectionModel();
        setSelectionModel(new FirstCellSelectionModel(model(), this));
        delete previous;
    }
    m_focusedColours = palette();
    m_focusedColours.setColor(QPalette::Text, Qt::black);
    m_focusedColours.setColor(QPalette::Base, Qt::white);
    showSelection(false);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    // A column of width 0 still holds its cells and opens when its divider is dragged,
    // which a hidden section would not.
    header->setMinimumSectionSize(0);
    for (int column = 0; column < columnCount(); ++column) {
        const ListColumn& columnSetup = setup.columns[column];
        auto* title = new QTableWidgetItem(QString::fromUtf8(columnSetup.title));
        title->setTextAlignment(cellAlignment(columnSetup));
        setHorizontalHeaderItem(column, title);
        header->resizeSection(column, columnSetup.width);
    }
}

int ListViewWidget::appendRow()
{
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto* cell = new QTableWidgetItem;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (column == 0 && m_setup.checkBoxes) {
            flags |= Qt::ItemIsUserCheckable;
            cell->setCheckState(Qt::Unchecked);
        }
        cell->setFlags(flags);
        cell->setTextAlignment(cellAlignment(m_setup.columns[column]));
        setItem(row, column, cell);
    }
    return row;
}

bool ListViewWidget::holdsCell(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

void ListViewWidget::setCellText(int row, int column, const QString& text)
{
    if (!holdsCell(row, column))
        return;
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
}

QString ListViewWidget::cellText(int row, int column) const
{
    if (!holdsCell(row, column))
        return {};
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

// Without the focus the selection keeps its rows but is painted like any other row.
void ListViewWidget::showSelection(bool shown)
{
    QPalette colours = m_focusedColours;
    if (!shown) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            colours.setColor(group, QPalette::Highlight, colours.color(group, QPalette::Base));
            colours.setColor(group, QPalette::HighlightedText,
                             colours.color(group, QPalette::Text));
        }
    }
    setPalette(colours);
}

void ListViewWidget::focusInEvent(QFocusEvent* event)
{
    showSelection(true);
    QTableWidget::focusInEvent(event);
}

void ListViewWidget::focusOutEvent(QFocusEvent* event)
{
    showSelection(false);
    QTableWidget::focusOutEvent(event);
}

} // namespace vantrel
