#ifndef ABOUT_H
#define ABOUT_H

#include <QDialog>

namespace Ui { class about; }

// The About dialog: the product's logo, name, version and links.
class about : public QDialog
{
    Q_OBJECT

public:
    explicit about(QWidget *parent = nullptr);
    ~about() override;

private:
    Ui::about *ui;
};

#endif // ABOUT_H
