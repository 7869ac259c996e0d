#!/usr/bin/env python3
"""The program in a real terminal: runs it inside tmux on a private socket, types as a
person would, reads the screen with its attributes and checks the colours, the cleared
screen, the result and the question, and that the terminal's default attributes are back
after the answer 0, after Ctrl-C and after Ctrl-D. Exits 77 (skipped) when tmux is not installed.
Usage: terminal_test.py PROGRAM"""

import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
WAIT_SECONDS = 15
CYAN, LIGHT_GREY = 36, 47  # the dialogue's text and background colours
DEFAULT = None  # the terminal's own colour
ENDED = 'trigcalc ended with status'
PROMPT = 'Digite dados de trigonometria:'
QUESTION = 'Quer fazer mais calculos de trigonometria?'
ANSWERS = '( Sim -> 1 / Nao -> 0 )'


class Terminal:
    """A detached 80x24 tmux session on its own server and socket, running PROGRAM under bash
    (which, unlike some shells, goes on after a child that handled Ctrl-C itself); after
    the program a line with its exit status is printed in whatever attributes it left."""

    def __init__(self, program, name):
        self.socket = 'trigcalc-test-%d-%s' % (os.getpid(), name)
        self.socket_directory = tempfile.mkdtemp(prefix='trigcalc-tmux-')
        self.env = {k: v for k, v in os.environ.items() if k != 'TMUX'}
        self.env['TMUX_TMPDIR'] = self.socket_directory  # the server's socket lives here
        self.env.setdefault('TERM', 'xterm')
        script = '%s; echo "%s $?"; exec sleep 300' % (shlex.quote(program), ENDED)
        self.tmux('new-session', '-d', '-s', 'calc', '-x', '80', '-y', '24',
                  'bash -c %s' % shlex.quote(script))

    def tmux(self, *arguments):
        return subprocess.run(['tmux', '-L', self.socket, '-f', '/dev/null', *arguments],
                              env=self.env, check=True, capture_output=True, text=True,
                              timeout=WAIT_SECONDS).stdout

    def type_line(self, text):
        for character in text:
            self.tmux('send-keys', '-t', 'calc', '-l', character)
            time.sleep(0.02)
        self.tmux('send-keys', '-t', 'calc', 'Enter')

    def press(self, key):
        self.tmux('send-keys', '-t', 'calc', key)

    def screen(self):
        """The visible screen with its attributes as SGR sequences."""
        return self.tmux('capture-pane', '-p', '-e', '-t', 'calc')

    def wait_for(self, text):
        """The screen once it shows `text`; raises when it does not within the time limit."""
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            screen = self.screen()
            if text in plain(screen):
                return screen
            if time.monotonic() > deadline:
                raise AssertionError('the screen never showed %r; it shows:\n%s' %
                                     (text, plain(screen)))
            time.sleep(0.05)

    def close(self):
        subprocess.run(['tmux', '-L', self.socket, 'kill-server'], env=self.env,
                       capture_output=True, timeout=WAIT_SECONDS)
        shutil.rmtree(self.socket_directory, ignore_errors=True)


SGR = re.compile(r'\x1b\[([0-9;]*)m')


def plain(screen):
    return SGR.sub('', screen)


def colours_at(screen, text):
    """(foreground, background) SGR codes in force where `text` first begins on the screen,
    following tmux's attribute sequences from the top; None is the terminal's default."""
    foreground, background = DEFAULT, DEFAULT
    shown = ''
    position = 0
    for match in SGR.finditer(screen):
        shown += screen[position:match.start()]
        if text in shown:
            break
        position = match.end()
        for code in [int(c) if c else 0 for c in match.group(1).split(';')]:
            if code == 0:
                foreground, background = DEFAULT, DEFAULT
            elif 30 <= code <= 37 or 90 <= code <= 97:
                foreground = code
            elif code == 39:
                foreground = DEFAULT
            elif 40 <= code <= 47 or 100 <= code <= 107:
                background = code
            elif code == 49:
                background = DEFAULT
    else:
        shown += screen[position:]
    if text not in shown:
        raise AssertionError('%r is not on the screen' % text)
    return foreground, background


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def answer_zero_case(terminal):
    terminal.wait_for('para comecar os calculos.')
    terminal.type_line('1')
    screen = terminal.wait_for(PROMPT)
    expect(plain(screen).startswith(PROMPT), 'the screen was not cleared before the prompt')
    expect('Algumas notas' not in plain(screen), 'the help text is still on the screen')
    terminal.type_line('sin30')
    screen = terminal.wait_for(ANSWERS)
    expect('\n=0.5\n' in plain(screen), 'no "=0.5" line on the screen')
    expect(QUESTION in plain(screen), 'the question is not shown')
    for text in (PROMPT, '=0.5', QUESTION):
        expect(colours_at(screen, text) == (CYAN, LIGHT_GREY),
               '%r is not cyan on light grey but %r' % (text, colours_at(screen, text)))
    terminal.type_line('0')
    screen = terminal.wait_for(ENDED)
    expect('%s 0' % ENDED in plain(screen), 'the program did not end with status 0')
    expect(colours_at(screen, ENDED) == (DEFAULT, DEFAULT),
           'after the program the colours are %r, not the defaults' % (colours_at(screen, ENDED),))


def key_at_prompt_case(key):
    """Pressing `key` at the prompt ends the program with status 0 and default colours."""
    def case(terminal):
        terminal.wait_for('para comecar os calculos.')
        terminal.type_line('1')
        screen = terminal.wait_for(PROMPT)
        expect(colours_at(screen, PROMPT) == (CYAN, LIGHT_GREY), 'the prompt is not in colour')
        terminal.press(key)
        screen = terminal.wait_for(ENDED)
        expect('%s 0' % ENDED in plain(screen), '%s did not end the program with status 0' % key)
        expect(colours_at(screen, ENDED) == (DEFAULT, DEFAULT),
               'after %s the colours are %r, not the defaults' % (key, colours_at(screen, ENDED)))
    return case


def main():
    if shutil.which('tmux') is None:
        print('SKIPPED: no terminal multiplexer (tmux) is installed; the terminal test needs one')
        return SKIPPED
    program = os.path.abspath(sys.argv[1])
    failures = 0
    cases = (('answer-0', answer_zero_case), ('ctrl-c', key_at_prompt_case('C-c')),
             ('ctrl-d', key_at_prompt_case('C-d')))  # Ctrl-D: end of input at the terminal
    for name, case in cases:
        terminal = None
        try:
            terminal = Terminal(program, name)
            case(terminal)
            print('ok   %s' % name)
        except (AssertionError, subprocess.SubprocessError) as problem:
            print('FAIL %s: %s' % (name, problem))
            failures += 1
        finally:
            if terminal is not None:
                terminal.close()
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
