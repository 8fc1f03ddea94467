#pragma once

#include <QObject>
#include <QString>

namespace deskplay::ui {

// The system symbols as the screens read them: the glyph text to draw in the symbol font and
// what the symbol means for assistive tools. A name missing from the table draws nothing and
// logs a warning, which the screen tests treat as a failure.
class SymbolTable final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

 public:
  using QObject::QObject;

  QString fontFamily() const;
  Q_INVOKABLE QString text(const QString& name) const;
  Q_INVOKABLE QString meaning(const QString& name) const;
};

}  // namespace deskplay::ui
