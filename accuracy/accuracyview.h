#ifndef ACCURACYVIEW_H
#define ACCURACYVIEW_H

#include "accuracy/positionhistory.h"

#include <QByteArray>
#include <QWidget>

class QLabel;
class QLineEdit;
class QwtPlot;
class QwtPlotCurve;
class RefreshPacer;
class TimeChart;

// The position accuracy on screen: a scatter of the sample set in metres
// east and north of the centre, coloured by fix kind, with the CEP50 and
// CEP95 circles; the figures and how many fixes they come from; the
// horizontal and vertical error over time. The user enters a reference
// position (or keeps the mean), starts a new sample set with "Reset", and
// exports either chart as PNG and its data as CSV.
class AccuracyView : public QWidget
{
    Q_OBJECT

public:
    explicit AccuracyView(PositionHistory *history, QWidget *parent = nullptr);

    QwtPlot *scatterChart() const { return m_scatter; }
    TimeChart *errorChart() const { return m_error; }
    // Sets the centre from text as readPosition reads it; empty text: the
    // mean. False, changing nothing, when the text is not a position.
    bool setReferenceText(const QString &text);
    // The sample set as CSV: east and north per fix kind, and the errors
    // over time (chartCsv).
    QByteArray scatterCsv() const;
    QByteArray errorCsv() const;
    // Hands the charts and figures what they show now.
    void refresh();

private:
    QWidget *buildFigures();
    void showFigures();
    // Sets both scales for a metre as long east as north; replots nothing.
    void scaleScatter();

    PositionHistory *m_history;
    QwtPlot *m_scatter;
    QwtPlotCurve *m_points[FixKindCount];
    QwtPlotCurve *m_cep50;
    QwtPlotCurve *m_cep95;
    double m_scatterRadius = 1;   // metres from the centre the scatter shows at least
    TimeChart *m_error;
    QLineEdit *m_reference;
    QLabel *m_count;
    QLabel *m_cep50Text;
    QLabel *m_cep95Text;
    QLabel *m_twoDrmsText;
    QLabel *m_verticalText;
    QLabel *m_rtkFixedText;
    QLabel *m_centreText;
    RefreshPacer *m_pacer;
};

#endif // ACCURACYVIEW_H
