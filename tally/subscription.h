#pragma once
// A handler list whose members can be let go. Subscribing returns a handle;
// the handler is called until the handle ends, and a handle that outlives
// its list ends harmlessly. A handler may end its own or another handle
// while the list is being called: that handler is not called again.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace lanqi {

class Subscription {
  public:
    Subscription() = default;
    // A handle that runs `cancel` once, when it ends.
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept { *this = std::move(other); }
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset() {
        if (cancel_) std::exchange(cancel_, nullptr)();
    }

  private:
    std::function<void()> cancel_;
};

template <typename... Args> class HandlerList {
  public:
    [[nodiscard]] Subscription add(std::function<void(Args...)> handler) {
        State& s = *state_;
        const std::uint64_t id = ++s.lastId;
        (s.calling ? s.added : s.entries).push_back({id, true, std::move(handler)});
        std::weak_ptr<State> state = state_;
        return Subscription([state, id] {
            if (const std::shared_ptr<State> held = state.lock()) held->remove(id);
        });
    }

    // Calls the handlers in the order they were added. Nothing is moved or
    // freed while a call is under way: handlers added during it wait for the
    // next call, handlers let go are dropped once it has ended.
    void operator()(Args... args) const {
        const std::shared_ptr<State> keep = state_;
        State& s = *keep;
        ++s.calling;
        for (size_t i = 0; i < s.entries.size(); ++i)
            if (s.entries[i].live) s.entries[i].handler(args...);
        if (--s.calling == 0) s.settle();
    }

  private:
    struct Entry {
        std::uint64_t id;
        bool live;
        std::function<void(Args...)> handler;
    };
    struct State {
        std::vector<Entry> entries;
        std::vector<Entry> added; // during a call
        std::uint64_t lastId = 0;
        int calling = 0; // calls under way, nested ones included
        void remove(std::uint64_t id) {
            for (std::vector<Entry>* list : {&entries, &added})
                for (Entry& e : *list)
                    if (e.id == id) e.live = false;
            if (calling == 0) settle();
        }
        void settle() {
            std::erase_if(entries, [](const Entry& e) { return !e.live; });
            for (Entry& e : added)
                if (e.live) entries.push_back(std::move(e));
            added.clear();
        }
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace lanqi
