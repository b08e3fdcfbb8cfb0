#include "platform/windows/window_ids.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>

namespace {

struct Registry {
  std::map<uint32_t, QPointer<QWidget>> byId;
  uint32_t next = 0x00010000;
};

Registry& registry() {
  static Registry r;
  return r;
}

const char* kProperty = "zerbinWindowId";

}  // namespace

uint32_t WindowIds_idOf(QWidget* widget) {
  if (!widget) return 0;
  QVariant v = widget->property(kProperty);
  if (v.isValid()) return v.toUInt();
  Registry& r = registry();
  uint32_t id = r.next++;
  r.byId[id] = widget;
  widget->setProperty(kProperty, id);
  QObject::connect(widget, &QObject::destroyed, [id] { registry().byId.erase(id); });
  return id;
}

QWidget* WindowIds_find(uint32_t id) {
  Registry& r = registry();
  auto it = r.byId.find(id);
  return it == r.byId.end() ? nullptr : it->second.data();
}
