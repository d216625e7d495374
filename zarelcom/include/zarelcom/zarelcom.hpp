/*
 * zarelcom.hpp - a thin header-only C++ layer over zarelcom.h: counted texts and links that give
 * themselves back when they go out of scope.
 *
 *     zarelcom::Link printer;                         // a link of its own, port closed
 *     printer([] { return OpenComPort(3); });         // runs the call with the link selected
 *     zarelcom::Text path("/tmp/logo.bmp");
 *     bool sent = printer([&] { return StxSendLogo(path, 5) != 0; });
 *
 * Nothing here adds behaviour: every call goes through the C functions, with their rules.
 */
#ifndef ZARELCOM_ZARELCOM_HPP
#define ZARELCOM_ZARELCOM_HPP

#include <zarelcom/zarelcom.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace zarelcom {

/* A counted text owned by this object: one reference, given back with ReleaseText. */
class Text {
public:
    /* The empty text (null). */
    Text() = default;
    /* A new text holding a copy of bytes. Raises std::length_error beyond 2 GiB - 1 bytes and
     * std::bad_alloc when memory runs out. */
    explicit Text(std::string_view bytes) {
        if (bytes.size() > static_cast<std::size_t>(INT32_MAX))
            throw std::length_error("text longer than 2 GiB");
        text_ = MakeText(bytes.data(), static_cast<int32_t>(bytes.size()));
        if (!text_ && !bytes.empty()) throw std::bad_alloc();
    }
    /* Takes over the reference of a text the library returned (StxGetString, ...). */
    static Text Adopt(zc_text text) noexcept {
        Text adopted;
        adopted.text_ = text;
        return adopted;
    }
    ~Text() { ReleaseText(text_); }
    Text(Text &&other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    Text &operator=(Text &&other) noexcept {
        std::swap(text_, other.text_);
        return *this;
    }
    Text(const Text &) = delete;
    Text &operator=(const Text &) = delete;

    /* For a function that hands back a new text through a zc_text * (GetLang): the text held so
     * far is given back, and the new one will be owned by this object. */
    zc_text *Out() noexcept {
        ReleaseText(std::exchange(text_, nullptr));
        return &text_;
    }

    operator zc_text() const noexcept { return text_; }
    std::size_t size() const noexcept {
        return text_ ? static_cast<std::size_t>(reinterpret_cast<const int32_t *>(text_)[-1]) : 0;
    }
    std::string_view view() const noexcept {
        return text_ ? std::string_view(text_, size()) : std::string_view();
    }
    std::string str() const { return std::string(view()); }

private:
    zc_text text_ = nullptr;
};

/* One printer's link (see "Threads and links" in zarelcom.h), freed when the object goes. */
class Link {
public:
    /* Selects a link on the calling thread for the object's lifetime, then selects again the link
     * that was selected before. */
    class Selection {
    public:
        explicit Selection(zc_link *link) noexcept : previous_(zc_link_select(link)) {}
        ~Selection() { zc_link_select(previous_); }
        Selection(const Selection &) = delete;
        Selection &operator=(const Selection &) = delete;

    private:
        zc_link *previous_;
    };

    /* Raises std::bad_alloc when memory runs out. */
    Link() : link_(zc_link_new()) {
        if (!link_) throw std::bad_alloc();
    }
    ~Link() { zc_link_free(link_); }
    Link(Link &&other) noexcept : link_(std::exchange(other.link_, nullptr)) {}
    Link &operator=(Link &&other) noexcept {
        std::swap(link_, other.link_);
        return *this;
    }
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    /* Runs call() on the calling thread with this link selected, and returns what it returns. */
    template <class Call>
    decltype(auto) operator()(Call &&call) const {
        const Selection selection(link_);
        return std::forward<Call>(call)();
    }
    /* Keeps this link selected on the calling thread while the result lives. */
    Selection Select() const noexcept { return Selection(link_); }
    zc_link *get() const noexcept { return link_; }

private:
    zc_link *link_;
};

/* The line rate in bit/s of a ZC_BR* ordinal; 0 for a number that is none. */
constexpr uint32_t RateBitsPerSecond(int32_t ordinal) {
    constexpr uint32_t bitsPerSecond[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                          19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return ordinal >= 0 && ordinal <= ZC_BR256000 ? bitsPerSecond[ordinal] : 0;
}

/* The ZC_BR* ordinal SetBaudRate takes for one of the printer's line rates in bit/s (those of
 * ZC_SEARCH_RATES: 9600, 19200, 38400, 57600, 115200); -1 for any other rate. */
constexpr int32_t RateOrdinal(uint32_t bitsPerSecond) {
    constexpr int32_t printerRates[ZC_SEARCH_RATE_COUNT] = ZC_SEARCH_RATES;
    for (int32_t ordinal : printerRates)
        if (RateBitsPerSecond(ordinal) == bitsPerSecond) return ordinal;
    return -1;
}

} // namespace zarelcom

#endif /* ZARELCOM_ZARELCOM_HPP */
