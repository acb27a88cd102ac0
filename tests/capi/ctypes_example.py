"""The C interface from Python's ctypes: a file log written and read back.

Usage: ctypes_example.py LIBRARY DIRECTORY
"""
import ctypes
import pathlib
import sys

library = ctypes.CDLL(sys.argv[1])
log_handle = ctypes.c_void_p
library.kivlog_new_file_log.restype = log_handle
library.kivlog_new_file_log.argtypes = [ctypes.c_char_p]
library.kivlog_write.restype = None
library.kivlog_write.argtypes = [log_handle, ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p,
                                 ctypes.c_char_p]
library.kivlog_can_log.argtypes = [log_handle]
library.kivlog_delete_log.argtypes = [ctypes.POINTER(log_handle)]
library.kivlog_property.restype = ctypes.c_char_p
library.kivlog_property.argtypes = [ctypes.c_char_p]
library.kivlog_turn_on.restype = None
library.kivlog_set_threshold.restype = None
library.kivlog_set_threshold.argtypes = [ctypes.c_int]

WARN, ERROR = 2, 3
path = pathlib.Path(sys.argv[2]) / "from-python.log"

library.kivlog_turn_on()
log = log_handle(library.kivlog_new_file_log(str(path).encode()))
assert log.value, "no log"
assert library.kivlog_can_log(log) == 1
library.kivlog_write(log, ERROR, b"orders.accept", "caf\u00e9 closed".encode(), b"(U) ")
library.kivlog_set_threshold(ERROR)
library.kivlog_write(log, WARN, b"orders.accept", b"below the threshold", b"(U) ")
library.kivlog_set_threshold(0)
assert library.kivlog_delete_log(ctypes.byref(log)) == 1 and not log.value
assert library.kivlog_property(b"kiv.logging") == b"false"

text = path.read_bytes().decode()
assert "] orders.accept:\n(U) caf\u00e9 closed\n" in text, text
assert "below the threshold" not in text, text
print("ctypes: ok")
