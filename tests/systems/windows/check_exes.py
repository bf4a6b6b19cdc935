"""The Windows exes as built: the right machine, a GUI program, and no DLL beyond the system's
own (the C and C++ runtimes are linked in; without that Wine, like Windows, refuses to start
the exe alone).

    check_exes.py <64-bit quillfen.exe> <32-bit quillfen.exe>
"""
import re
import subprocess
import sys

SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "gdi32.dll", "comctl32.dll",
               "comdlg32.dll", "opengl32.dll", "glu32.dll"}


def check_exe(path, objdump, file_format):
    headers = subprocess.run([objdump, "-p", path], capture_output=True, text=True,
                             check=True).stdout
    if f"file format {file_format}" not in headers:
        raise SystemExit(f"{path}: not {file_format}")
    if not re.search(r"^Subsystem\s+00000002\s", headers, re.MULTILINE):
        raise SystemExit(f"{path}: not a Windows GUI program")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)}
    if dlls - SYSTEM_DLLS:
        raise SystemExit(f"{path}: needs {sorted(dlls - SYSTEM_DLLS)} beside it")
    if {"user32.dll", "opengl32.dll", "glu32.dll", "comdlg32.dll"} - dlls:
        raise SystemExit(f"{path}: does not import the system's user32, opengl32, glu32, comdlg32")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: check_exes.py <64-bit exe> <32-bit exe>")
    check_exe(sys.argv[1], "x86_64-w64-mingw32-objdump", "pei-x86-64")
    check_exe(sys.argv[2], "i686-w64-mingw32-objdump", "pei-i386")
    print("both exes stand alone")
