#include "widgets/command.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QThread>

#include <stdexcept>

#include "platform/qt/guard.h"

namespace vorelia::widgets {

TCommand::TCommand(const QString& name, QObject* parent) : QObject(parent) {
  setObjectName(name);
}

void TCommand::SetEnabled(bool enabled) {
  if (enabled == m_enabled) return;
  m_enabled = enabled;
  for (const auto& item : m_items) {
    if (item) Apply(item);
  }
  for (const auto& button : m_buttons) {
    if (button) Apply(button);
  }
  emit Changed();
}

void TCommand::SetHint(const QString& hint) {
  if (hint == m_hint) return;
  m_hint = hint;
  for (const auto& item : m_items) {
    if (item) Apply(item);
  }
  for (const auto& button : m_buttons) {
    if (button) Apply(button);
  }
  emit Changed();
}

void TCommand::Update() {
  if (m_onUpdate) platform::Guarded(m_onUpdate);
}

bool TCommand::Execute() {
  Update();
  if (!m_enabled || !m_onExecute || platform::FatalErrorPending()) return false;
  platform::Guarded(m_onExecute);
  return true;
}

void TCommand::Apply(QAction* item) const {
  if (item->isEnabled() != m_enabled) item->setEnabled(m_enabled);
  if (item->statusTip() != m_hint) item->setStatusTip(m_hint);
}

void TCommand::Apply(QAbstractButton* button) const {
  if (button->isEnabled() != m_enabled) button->setEnabled(m_enabled);
  if (button->toolTip() != m_hint) button->setToolTip(m_hint);
}

void TCommand::Bind(QAction* item) {
  m_items.emplace_back(item);
  Apply(item);
  connect(item, &QAction::triggered, this, [this] { Execute(); });
}

void TCommand::Bind(QAbstractButton* button) {
  m_buttons.emplace_back(button);
  Apply(button);
  connect(button, &QAbstractButton::clicked, this, [this] { Execute(); });
}

TActionList::TActionList(const QString& name, QObject* parent) : QObject(parent) {
  setObjectName(name);
}

TActionList::~TActionList() { StopIdleUpdates(); }

TCommand* TActionList::Add(const QString& name) {
  if (Find(name) != nullptr) throw std::logic_error("duplicate command " + name.toStdString());
  auto* command = new TCommand(name, this);
  m_commands.push_back(command);
  return command;
}

TCommand* TActionList::Find(const QString& name) const {
  for (TCommand* command : m_commands) {
    if (command->Name() == name) return command;
  }
  return nullptr;
}

TCommand& TActionList::operator[](const QString& name) const {
  TCommand* command = Find(name);
  if (command == nullptr) throw std::logic_error("unknown command " + name.toStdString());
  return *command;
}

void TActionList::UpdateAll() {
  // Enabling a menu item posts events, which end in another idle moment: never re-enter.
  if (m_updating || platform::FatalErrorPending()) return;
  m_updating = true;
  for (TCommand* command : m_commands) command->Update();
  m_updating = false;
}

void TActionList::StartIdleUpdates() {
  if (m_idleConnection) return;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
  if (dispatcher == nullptr) return;
  m_idleConnection = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                             &TActionList::UpdateAll);
}

void TActionList::StopIdleUpdates() {
  if (m_idleConnection) disconnect(m_idleConnection);
  m_idleConnection = {};
}

}  // namespace vorelia::widgets
