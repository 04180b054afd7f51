#pragma once
// Push button drawn entirely from art: a normal, an active and a disabled look,
// sized to its picture. The active flag only selects the look; what it means is
// up to the window that owns the button.
#include <QAbstractButton>
#include <QPixmap>

class CBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    // `art` is the art name (e.g. "button_1005"); `size` the picture's size.
    CBitmapButton(int id, const QString& art, QSize size, QWidget* parent = nullptr);

    int Id() const { return m_id; }
    bool IsActive() const { return m_active; }
    void SetActive(bool active);

    QSize sizeHint() const override { return m_size; }

signals:
    // Emitted on every click with the control id.
    void commandClicked(int id);

protected:
    // Runs on every click; the latching variant flips its look before reporting.
    virtual void OnClicked() { emit commandClicked(m_id); }
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap CurrentLook() const;

    int m_id;
    QString m_art;
    QSize m_size;
    bool m_active = false;
};

// Two-state button: each click latches it in or out, and the active look follows.
class CLatchButton : public CBitmapButton {
    Q_OBJECT
public:
    CLatchButton(int id, const QString& art, QSize size, QWidget* parent = nullptr);

protected:
    void OnClicked() override;
};
