#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QAction;

namespace vorelia::widgets {

// One command of a command list: an execute handler, an update handler that only decides the
// enabled state, and a hint. Every menu item and button bound to it shares its enabled state and
// hint and fires it. Handlers run behind the exception wall, so nothing unwinds into Qt.
class TCommand : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void()>;

  explicit TCommand(const QString& name, QObject* parent = nullptr);

  QString Name() const { return objectName(); }

  // Later code gives a command its body by setting these.
  void SetOnExecute(Handler handler) { m_onExecute = std::move(handler); }
  void SetOnUpdate(Handler handler) { m_onUpdate = std::move(handler); }
  bool HasExecuteHandler() const { return static_cast<bool>(m_onExecute); }

  bool Enabled() const { return m_enabled; }
  // Cheap when nothing changes, so update handlers may call it on every idle moment.
  void SetEnabled(bool enabled);

  QString Hint() const { return m_hint; }
  void SetHint(const QString& hint);

  // Runs the update handler (if any) behind the wall.
  void Update();

  // Re-evaluates the enabled state first, so a command whose precondition no longer holds never
  // runs on a stale state; returns whether the execute handler ran.
  bool Execute();

  // Menu items keep their own caption; buttons keep their own caption and glyph.
  void Bind(QAction* item);
  void Bind(QAbstractButton* button);

 signals:
  void Changed();

 private:
  void Apply(QAction* item) const;
  void Apply(QAbstractButton* button) const;

  Handler m_onExecute;
  Handler m_onUpdate;
  bool m_enabled = true;
  QString m_hint;
  std::vector<QPointer<QAction>> m_items;
  std::vector<QPointer<QAbstractButton>> m_buttons;
};

// A window's list of commands (`acoes_01`, ...), found by name. Once idle updates are started,
// every update handler runs whenever the event loop is about to wait for events.
class TActionList : public QObject {
  Q_OBJECT

 public:
  explicit TActionList(const QString& name, QObject* parent = nullptr);
  ~TActionList() override;

  // The list owns the command. Names are unique within a list.
  TCommand* Add(const QString& name);
  // nullptr when there is no such command.
  TCommand* Find(const QString& name) const;
  // Requires: the command exists.
  TCommand& operator[](const QString& name) const;
  const std::vector<TCommand*>& Commands() const { return m_commands; }

  // Runs every update handler once.
  void UpdateAll();

  // Connects UpdateAll to the thread's event dispatcher: it runs after each burst of events,
  // also inside modal loops, and costs nothing while nothing happens.
  void StartIdleUpdates();
  void StopIdleUpdates();
  bool IdleUpdatesRunning() const { return static_cast<bool>(m_idleConnection); }

 private:
  std::vector<TCommand*> m_commands;
  QMetaObject::Connection m_idleConnection;
  bool m_updating = false;
};

}  // namespace vorelia::widgets
