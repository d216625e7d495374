// The block phase of the printer's transfers: after an announcement it takes numbered "~" blocks
// and stores the item only when the last one arrived; after a file request or backup it hands
// out numbered "}" blocks of the item.
#pragma once

#include <zarelsim/PrinterState.h>

#include <cstdint>
#include <optional>
#include <string>

namespace zarelsim {

// Where a received item goes once complete.
struct IncomingItem {
    enum Target { Logo, File, Message, PrintImage } target = Logo;
    int number = 0;   // logo slot or message number
    std::string name; // printer-side file name
    uint32_t length = 0;
    Bytes data; // the item, once complete
};

class Transfers {
public:
    enum class BlockAnswer { Ack, Silent, Error };

    void BeginIncoming(IncomingItem item);
    void BeginOutgoing(Bytes item);
    void Abandon();
    // Blocks are still expected or still to hand out.
    bool Active() const { return (incoming_ || outgoing_) && session_.done < session_.blocks; }

    // Memory the transfer holds now: the blocks taken so far, or the item being handed out.
    size_t BytesHeld() const;

    // The printer hangs up: it answers no block of this transfer after the first `blocks`.
    void HangUpAfter(uint32_t blocks);

    // A "~" block: number, complement, 512 bytes. On Ack with the last block, `done` holds the item.
    BlockAnswer TakeBlock(const uint8_t* params, size_t count, uint8_t& error,
                          std::optional<IncomingItem>& done);
    // A "}" request: number, complement. On Ack `data` holds number, complement and 512 bytes.
    BlockAnswer ServeBlock(const uint8_t* params, size_t count, uint8_t& error, Bytes& data);

private:
    struct Session {
        uint32_t blocks = 0; // (length + 511) / 512
        uint32_t done = 0;   // blocks taken or served so far
        uint32_t answerLimit = UINT32_MAX;
        uint32_t answered = 0;
    };
    BlockAnswer Check(Session& session, const uint8_t* params, uint8_t& error, uint32_t& block);

    Session session_;
    std::optional<IncomingItem> incoming_;
    std::optional<Bytes> outgoing_;
};

constexpr size_t kBlockSize = 512;

} // namespace zarelsim
