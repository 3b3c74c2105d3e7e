#include "gui/results/resulttab.h"

#include "gui/prompts/prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lv::gui {

using results::Mode;
using results::ResultRow;

ResultTab::ResultTab(Prompts &prompts, QWidget *parent) : QWidget(parent), m_prompts(prompts)
{
    lvwResult = new QTreeWidget(this);
    lvwResult->setObjectName(QStringLiteral("lvwResult"));
    lvwResult->setAccessibleName(QStringLiteral("Resultat"));
    lvwResult->setRootIsDecorated(false);
    lvwResult->setItemsExpandable(false);
    lvwResult->setUniformRowHeights(true);
    lvwResult->setAllColumnsShowFocus(true);
    lvwResult->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwResult->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwResult->header()->setSectionsMovable(false);
    lvwResult->header()->setStretchLastSection(false);
    setHeaders(results::resultHeaders(Mode::PerKm, /*co2Colon*/ false));
    // Each column one inch wide, or wider where its header needs it.
    const int inch = logicalDpiX();
    for (int c = 0; c < lvwResult->columnCount(); ++c)
        lvwResult->setColumnWidth(c, std::max(inch, lvwResult->header()->sectionSizeHint(c)));
    lvwResult->setMinimumHeight(lvwResult->fontMetrics().height() * 8);

    auto *normFrame = new QGroupBox(QStringLiteral("Resultatnormering"), this);
    optTot = new QRadioButton(QStringLiteral("Totala effekter"), normFrame);
    optTot->setObjectName(QStringLiteral("optTot"));
    optPerKm = new QRadioButton(QStringLiteral("Effekter/km"), normFrame);
    optPerKm->setObjectName(QStringLiteral("optPerKm"));
    optPerKm->setChecked(true);
    auto *normLayout = new QVBoxLayout(normFrame);
    normLayout->addWidget(optTot);
    normLayout->addWidget(optPerKm);

    auto *stretchLabel = new QLabel(QStringLiteral("Resultat för delsträcka: [m] - [m]"), this);
    txtResultStart = new QLineEdit(this);
    txtResultStart->setObjectName(QStringLiteral("txtResultStart"));
    txtResultStart->setAccessibleName(QStringLiteral("Resultat för delsträcka: start [m]"));
    txtResultStop = new QLineEdit(this);
    txtResultStop->setObjectName(QStringLiteral("txtResultStop"));
    txtResultStop->setAccessibleName(QStringLiteral("Resultat för delsträcka: slut [m]"));
    cmdVisaResult = new QPushButton(QStringLiteral("Lägg till"), this);
    cmdVisaResult->setObjectName(QStringLiteral("cmdVisaResult"));
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000000"));
    txtResultStart->setMinimumWidth(fieldWidth);
    txtResultStop->setMinimumWidth(fieldWidth);
    auto *stretchFields = new QGridLayout;
    stretchFields->addWidget(stretchLabel, 0, 0, 1, 4);
    stretchFields->addWidget(txtResultStart, 1, 0);
    stretchFields->addWidget(new QLabel(QStringLiteral(" - "), this), 1, 1);
    stretchFields->addWidget(txtResultStop, 1, 2);
    stretchFields->addWidget(cmdVisaResult, 1, 3);
    stretchFields->setRowStretch(2, 1);

    Command1 = new QPushButton(QStringLiteral("Ta bort markerat"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    cmdKopieraVarde = new QPushButton(QStringLiteral("Kopiera värde"), this);
    cmdKopieraVarde->setObjectName(QStringLiteral("cmdKopieraVarde"));
    auto *rowButtons = new QVBoxLayout;
    rowButtons->addWidget(Command1);
    rowButtons->addWidget(cmdKopieraVarde);
    rowButtons->addStretch(1);

    auto *below = new QHBoxLayout;
    below->addWidget(normFrame);
    below->addSpacing(12);
    below->addLayout(stretchFields);
    below->addStretch(1);
    below->addLayout(rowButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lvwResult, 1);
    layout->addLayout(below);

    setTabOrder(lvwResult, optTot);
    setTabOrder(optTot, optPerKm);
    setTabOrder(optPerKm, txtResultStart);
    setTabOrder(txtResultStart, txtResultStop);
    setTabOrder(txtResultStop, cmdVisaResult);
    setTabOrder(cmdVisaResult, Command1);
    setTabOrder(Command1, cmdKopieraVarde);
}

void ResultTab::disableCopy()
{
    cmdKopieraVarde->setEnabled(false);
}

void ResultTab::beginRun()
{
    lvwResult->clear();
    txtResultStart->clear();
    txtResultStop->clear();
    optPerKm->setChecked(true);
    chooseMode(Mode::PerKm);
    disableCopy();
}

void ResultTab::showRun(std::shared_ptr<const calc::RunState> run)
{
    m_run = std::move(run);
    if (m_run)
        appendRow(results::totalRow(*m_run));
}

void ResultTab::clearResults()
{
    lvwResult->clear();
    txtResultStart->clear();
    txtResultStop->clear();
}

Mode ResultTab::mode() const
{
    return optTot->isChecked() ? Mode::Totals : Mode::PerKm;
}

std::vector<ResultRow> ResultTab::rows() const
{
    std::vector<ResultRow> rows;
    rows.reserve(std::size_t(lvwResult->topLevelItemCount()));
    for (int i = 0; i < lvwResult->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = lvwResult->topLevelItem(i);
        ResultRow row;
        row.label = item->text(0);
        for (std::size_t c = 0; c < row.values.size(); ++c)
            row.values[c] = item->text(int(c) + 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

void ResultTab::chooseMode(Mode mode)
{
    // The mode as the user chooses it: the value headers of that mode (with "CO2: [kg/km]").
    setHeaders(results::resultHeaders(mode));
}

void ResultTab::appendRow(const ResultRow &row)
{
    auto *item = new QTreeWidgetItem(lvwResult);
    item->setText(0, row.label);
    for (std::size_t c = 0; c < row.values.size(); ++c)
        item->setText(int(c) + 1, row.values[c]);
}

void ResultTab::setHeaders(const QStringList &headers)
{
    lvwResult->setColumnCount(int(headers.size()));
    lvwResult->setHeaderLabels(headers);
}

} // namespace lv::gui
