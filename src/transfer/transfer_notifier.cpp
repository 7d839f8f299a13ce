#include "transfer/transfer_notifier.h"

TransferNotifier& TransferEvents()
{
    static TransferNotifier notifier;
    return notifier;
}
