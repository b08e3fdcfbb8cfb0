#include "app/links/link_history.h"

void LinkHistory::startChain(const LinkHistoryEntry& here) {
  chains_.push_back(LinkHistoryChain{{here}, 0});
}

void LinkHistory::update(const LinkHistoryEntry& here) {
  if (chains_.empty() || chains_.back().entries.empty()) {
    chains_.clear();
    startChain(here);
    return;
  }
  LinkHistoryChain& c = chains_.back();
  c.entries[c.current] = here;
}

void LinkHistory::push(const LinkHistoryEntry& reached) {
  if (chains_.empty() || chains_.back().entries.empty()) {
    chains_.clear();
    startChain(reached);
    return;
  }
  LinkHistoryChain& c = chains_.back();
  c.entries.resize(c.current + 1);
  c.entries.push_back(reached);
  c.current = c.entries.size() - 1;
}

bool LinkHistory::canBack() const {
  const LinkHistoryChain* c = currentChain();
  return c != nullptr && c->current > 0;
}

bool LinkHistory::canForward() const {
  const LinkHistoryChain* c = currentChain();
  return c != nullptr && c->current + 1 < c->entries.size();
}

std::optional<LinkHistoryEntry> LinkHistory::back(const LinkHistoryEntry& here) {
  if (!canBack()) return std::nullopt;
  update(here);
  LinkHistoryChain& c = chains_.back();
  --c.current;
  return c.entries[c.current];
}

std::optional<LinkHistoryEntry> LinkHistory::forward(const LinkHistoryEntry& here) {
  if (!canForward()) return std::nullopt;
  update(here);
  LinkHistoryChain& c = chains_.back();
  ++c.current;
  return c.entries[c.current];
}

void LinkHistory::unstep(int direction) {
  if (chains_.empty()) return;
  LinkHistoryChain& c = chains_.back();
  if (direction > 0 && c.current + 1 < c.entries.size()) ++c.current;
  if (direction < 0 && c.current > 0) --c.current;
}

const LinkHistoryChain* LinkHistory::currentChain() const {
  return chains_.empty() ? nullptr : &chains_.back();
}

LinkHistoryChain LinkHistory::takeChain() {
  if (chains_.empty()) return {};
  LinkHistoryChain c = std::move(chains_.back());
  chains_.pop_back();
  return c;
}

void LinkHistory::adoptChain(LinkHistoryChain chain) {
  if (chain.entries.empty()) return;
  if (!chains_.empty() && chains_.back().entries.size() <= 1) chains_.pop_back();
  chains_.push_back(std::move(chain));
}
