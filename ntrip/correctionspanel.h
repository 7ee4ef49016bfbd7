#ifndef CORRECTIONSPANEL_H
#define CORRECTIONSPANEL_H

#include <QWidget>

class CorrectionsLink;
class NtripStore;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;
class QwtPlot;
class QwtPlotCurve;

// The corrections panel beside the fix: the caster's state, bytes a second,
// the message types with their count, rate and age, the age of the
// corrections ("corrections stale" after 10 s), the station's distance
// from the receiver, and what the corrections did to the fix (time to
// float and to fixed, fixed ratio, CEP of the fixed epochs, the age over
// time). "Caster..." sets the caster up; Start and Stop run the stream.
class CorrectionsPanel : public QWidget
{
    Q_OBJECT

public:
    CorrectionsPanel(CorrectionsLink *link, NtripStore *store, QWidget *parent = nullptr);

    // Reads the figures again (a timer does it each second).
    void refresh();
    QString stateText() const;

private:
    void openSettings();

    CorrectionsLink *m_link;
    NtripStore *m_store;
    QPushButton *m_settingsButton;
    QPushButton *m_startButton;
    QPushButton *m_stopButton;
    QLabel *m_state;
    QLabel *m_figures;
    QLabel *m_effect;
    QTableWidget *m_types;
    QwtPlot *m_agePlot;
    QwtPlotCurve *m_ageCurve;
    QTimer *m_timer;
};

#endif // CORRECTIONSPANEL_H
