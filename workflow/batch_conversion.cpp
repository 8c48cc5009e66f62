#include "workflow/batch_conversion.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "util/text/cookies.h"
#include "workflow/affiliate_link.h"
#include "workflow/reading/batch_text.h"
#include "workflow/item_resolver.h"
#include "workflow/member_texts.h"

namespace quillane {

BatchResult convertReferences(const std::vector<ItemReference>& references, const SessionState& session,
                              const Deployment& deployment, const std::atomic<bool>& stop,
                              const BatchProgress& progress, ParallelWork& parallel, std::size_t maxInFlight) {
    BatchResult result;
    result.total = references.size();
    result.sessionCookies = session.sessionCookies;
    const std::size_t count = std::min(references.size(), kMaxBatchReferences);
    result.links.resize(count);
    result.tokens.resize(count);
    std::mutex resultMutex;
    std::atomic<bool> expired{false};
    std::atomic<bool> unsafe{false};
    std::atomic<std::size_t> settled{0};
    const auto stopping = [&] { return stop.load() || expired.load() || unsafe.load(); };
    const auto settle = [&](std::size_t references) { progress(settled += references, count); };

    // Requests side by side that find the login over harvest the newer one once between them.
    SharedRelogin relogin;
    std::vector<std::string> itemIds(count);
    // Each task makes at most one exchange at a time, so a section's width bounds the requests
    // in flight.
    parallel.forEach(count, maxInFlight, [&](std::size_t index) {
        if (stopping()) {
            return;
        }
        const ItemReference& reference = references[index];
        itemIds[index] =
            reference.kind == ItemReference::Kind::ItemId ? reference.value : resolveItemAddress(reference.value);
        if (itemIds[index].empty()) {
            settle(1);
        }
    });

    // Two references may lead to one item (its address and a short link to it): one request.
    std::map<std::string, std::vector<std::size_t>> referencesOfItem;
    for (std::size_t index = 0; index < count; ++index) {
        if (!itemIds[index].empty()) {
            referencesOfItem[itemIds[index]].push_back(index);
        }
    }
    const std::vector<std::pair<std::string, std::vector<std::size_t>>> items(referencesOfItem.begin(),
                                                                             referencesOfItem.end());
    parallel.forEach(items.size(), maxInFlight, [&](std::size_t index) {
        if (stopping()) {
            return;
        }
        const auto& [itemId, indices] = items[index];
        const LinkResult link = makeAffiliateLink(session, itemId, deployment, &relogin);
        // Every further request would meet the same certificate: the batch stops as it does
        // for an expired login.
        if (link.login.expired || link.login.unsafeConnection) {
            (link.login.expired ? expired : unsafe) = true;
            return;
        }
        {
            const std::lock_guard<std::mutex> lock(resultMutex);
            if (link.login.reharvested) {
                result.reharvestedSession = link.session;
            } else {
                std::string renewed = link.session.sessionCookies;
                mergeCookies(result.sessionCookies, renewed);
            }
            for (std::size_t reference : indices) {
                result.links[reference] = link.made ? link.link : std::string();
                result.tokens[reference] = link.made ? shareToken(link.tokens) : std::string();
            }
            result.converted += link.made ? indices.size() : 0;
            if (link.made) {
                result.itemLinks.push_back({itemId, link.link, link.tokens});
            }
        }
        settle(indices.size());
    });
    result.login.expired = expired;
    result.login.unsafeConnection = unsafe && !expired;
    result.login.reharvested = result.reharvestedSession.has_value();
    return result;
}

std::string batchFoundText(std::size_t count) {
    return kBatchFound + std::to_string(count) + kBatchFoundEnd;
}

std::string batchProgressText(std::size_t settled, std::size_t count) {
    return kBatchProgress + std::to_string(settled) + "/" + std::to_string(count) + kBatchProgressEnd;
}

std::string batchConvertedText(std::size_t converted, std::size_t total) {
    if (converted == total) {
        return kBatchConverted + std::to_string(converted) + kBatchConvertedEnd;
    }
    return kBatchConverted + std::to_string(converted) + "/" + std::to_string(total) + kBatchPartly +
           std::to_string(total - converted) + kBatchPartlyEnd;
}

}  // namespace quillane
