// The container of user profiles. It owns every profile in its ring, and its
// current profile is always one of them.
#include "database_interface.h"
#include "memory.h"

namespace {
constexpr int NUM_DEFAULT_USERS = 1; // profiles a run starts with
}

stUserContainer *read_users()
{
    stUserContainer *ptContainer = static_cast<stUserContainer *>(safe_malloc(sizeof(stUserContainer)));
    ptContainer->ptFirstUser = create_default_users(NUM_DEFAULT_USERS);
    ptContainer->ptCurrentUser = ptContainer->ptFirstUser;
    ptContainer->iNumUsers = NUM_DEFAULT_USERS;
    return ptContainer;
}

void close_users(stUserContainer *ptContainer)
{
    if (!ptContainer)
        return;
    stUser *ptUser = ptContainer->ptCurrentUser;
    for (int i = 0; i < ptContainer->iNumUsers && ptUser; i++) {
        stUser *ptNext = ptUser->ptNextUser;
        safe_free(&ptUser);
        ptUser = ptNext;
    }
    safe_free(&ptContainer);
}
