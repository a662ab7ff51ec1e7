#pragma once

// The status bar's fingerprint panel: the enabled set's code, for two players
// to compare before a game. Its accessible name carries the code
// ("Fingerprint K7Q2-M9XA"); a click copies the code to the clipboard.

#include <QLabel>

namespace kloxmere {
class Catalogue;
}

namespace kloxmere::ui {

class FingerprintPanel : public QLabel {
    Q_OBJECT

  public:
    FingerprintPanel(Catalogue& catalogue, QWidget* parent);

    // Recomputes the code from the catalogue's enabled archives: after the
    // scan and after every switch.
    void refresh();
    const QString& code() const { return m_code; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    Catalogue& m_catalogue;
    QString m_code;
};

}  // namespace kloxmere::ui
