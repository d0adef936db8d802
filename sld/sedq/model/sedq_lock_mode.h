#pragma once
// The analyzer lock mode: which changes the document accepts after a compile.

enum SEDQ_LOCK_MODE
{
    SEDQ_LOCK_MODE_ALLOW_ALL = 0,         // "Allow all changes"
    SEDQ_LOCK_MODE_ALLOW_INCREMENTAL = 1, // "Allow incremental route changes only"
    SEDQ_LOCK_MODE_ALLOW_TRIGGER = 2      // "Allow trigger condition changes only"
};
