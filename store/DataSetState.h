#pragma once

// The states of a record set, numbered as the framework numbers them.
enum class DataSetState { Inactive = 0, Browse = 1, Edit = 2, Insert = 3, SetKey = 4 };

// How a record set may change its rows.
enum class LockType { ReadOnly, Optimistic };
