#pragma once

#include "core/calc/runstate.h"
#include "core/results/alongtunnel.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace lv::gui {

class AlongChartWidget;
class AlongTableModel;
class Prompts;

inline const QString kExportTableTitle = QStringLiteral("Exportera tabell");
inline const QString kCsvFilter = QStringLiteral("Semikolon- eller kommaseparerad text (*.csv)");
inline const QString kSaveChartTitle = QStringLiteral("Spara diagram");
inline const QString kChartFilter =
    QStringLiteral("PDF (*.pdf);;SVG-bild (*.svg);;PNG-bild (*.png)");

// The tab "Längs tunneln": the last run's segments as a table (copyable with Ctrl+C, exported
// with "Exportera...") and a chosen quantity as a chart over the chainage ("Spara diagram...").
class AlongTab : public QWidget
{
    Q_OBJECT

public:
    explicit AlongTab(Prompts &prompts, QWidget *parent = nullptr);

    // A run succeeded: its segments, numbered with the texts of the rows it was computed from,
    // for the year and scenario named in the chart's title.
    void showRun(const calc::RunState &run, const std::vector<QString> &numbers,
                 const QString &year, const QString &scenario);
    // The result list's sub-stretches, shaded in the chart.
    void setSubStretches(std::vector<results::LabelledSpan> spans);
    // "Rensa" here, or a new run starting: no rows, an empty chart.
    void clear();

    const std::vector<results::AlongTunnelRow> &rows() const;
    // The quantity the chart shows (index 1..12).
    int quantity() const;
    // Copies the selected rows with the header line as tab-separated text (Ctrl+C).
    void copySelectedRows();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateChart();
    void exportTable();
    void saveChart();

    Prompts &m_prompts;
    QString m_year;
    QString m_scenario;
    std::vector<results::LabelledSpan> m_spans;

    AlongTableModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QComboBox *m_quantityCombo = nullptr;
    AlongChartWidget *m_chart = nullptr;
    QLabel *m_readout = nullptr;
    QPushButton *m_exportButton = nullptr;
    QPushButton *m_saveChartButton = nullptr;
};

} // namespace lv::gui
