#!/usr/bin/env python3
"""Misura le bozze di quadrivo-pseudo su file veri.

Uso: misura-bozze.py QUADRIVO-PSEUDO CARTELLA-CORPUS [--esempi N]

La CARTELLA-CORPUS ha le sottocartelle basic/, c/, cpp/ e batch/. Per ogni
linguaggio il programma viene eseguito una volta su tutti i suoi file, con
l'elenco pronto del linguaggio (c++ per cpp/, c se il programma non conosce
c++) e le due opzioni del codice accese:

    quadrivo-pseudo --elenco L --linguaggio=L --proteggi --separatori-codice -o OUT FILE...

Poi ogni originale è confrontato con la sua bozza riga per riga. Lo script legge
da sé commenti, stringhe e nomi (non usa il lettore del programma) e ha i suoi
insiemi di parole chiave: le parole riservate e le funzioni, i comandi e le
costanti più frequenti del linguaggio, non "le parole dell'elenco".

Cosa conta, per linguaggio:
- parole chiave nel codice: le occorrenze nel codice (fuori da commenti e
  stringhe, non dopo un punto) di una parola chiave; "tradotta" se nella bozza
  non è rimasta com'era (allineamento delle parole della riga con difflib).
  Le parole dell'originale e della bozza si trovano allo stesso modo (\w+):
  ogni parola dell'originale prende il ruolo di ciò che le sta sotto, e un nome
  attaccato a una variabile del batch ("%~p0config", "%1r") conta come nome.
  Le parole che in italiano si scrivono uguali (batch "in") sono contate a parte.
  Le funzioni di libreria del C contano come parole chiave solo prima di "(".
  In BASIC le parole di "Option" (Module, Compare, Text, ...) sono chiave solo
  in quell'istruzione.
- nomi cambiati: membri (dopo "." o "!" in BASIC, con il "Me" di "Me.x", dopo
  "." o "->" in C, con il "this" di "this->x"), nomi dichiarati dal file BASIC (Dim, ReDim, Const, Public,
  Private, Static, Global, parametri, membri di Enum in tutto il file; campi di
  Type e parole riservate solo dove sono dichiarati),
  identificatori (ogni altra parola del codice), etichette, variabili, opzioni
  dopo "/" e dispositivi (nul, con, prn, aux, comN, lptN) del batch; con i primi
  esempi file:riga.
- caratteri di commenti e stringhe cambiati: ogni commento e ogni stringa (in
  batch anche il testo dopo echo e il valore di set, set /p e set "nome=valore"
  fino a fine riga o a un & | < > fuori dalle virgolette; non set /a, che è
  un'espressione) deve ritrovarsi intatto, nell'ordine, nella riga della bozza;
  se non c'è, conta i caratteri che non combaciano. Un %nome:x=y% si legge
  intero prima delle virgolette: le sue non aprono una stringa.
- in BASIC il blocco del designer e le righe Attribute devono restare uguali:
  conta le righe cambiate.
"""

import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
from collections import Counter, defaultdict

ESTENSIONI = {
    'basic': ('.bas', '.frm', '.cls', '.ctl'),
    'c': ('.c', '.h'),
    # the headers of a C++ project are C++ too
    'cpp': ('.cpp', '.hpp', '.cc', '.cxx', '.h'),
    'batch': ('.bat', '.cmd'),
}

# --- parole chiave -----------------------------------------------------------

CHIAVI_BASIC = set("""
if then else elseif end select case for to step next each in do loop while wend until
exit sub function property get let set dim redim preserve as new me const static private
public global friend call return goto gosub on error resume option explicit base compare
with type enum declare lib alias byval byref optional paramarray integer byte long longptr
single double currency string boolean date variant object true false nothing null empty
not and or xor mod is like typeof addressof event raiseevent withevents implements ptrsafe
open close input print write put kill mkdir rmdir chdir filecopy load unload show hide
msgbox inputbox doevents len left right mid trim ltrim rtrim ucase lcase instr instrrev
replace split join val str cstr cint clng cdbl csng cbool cdate cbyte ccur cvar isnull
isempty isnumeric isarray isdate isobject ubound lbound now format chr asc abs rnd
randomize erase freefile eof lof iif err int fix sgn sqr timer environ dir shell
createobject getobject typename vartype array debug rem line binary random append output
access read vbcrlf vbcr vblf vbnewline vbtab vbnullstring any lenb space varptr strptr
objptr vbyes vbno vbok vbcancel vbyesno vbokonly vbokcancel vbyesnocancel vbcritical
vbexclamation vbinformation vbquestion
""".split())
# Written the same in Italian: kept, not counted among the translated.
UGUALI_BASIC = {'byte', 'in'}
# Keywords only inside an Option statement ("Option Private Module"): elsewhere
# Text or Module are names.
CHIAVI_OPTION = {'module', 'compare', 'text', 'binary', 'database', 'base', 'explicit',
                 'private'}

CHIAVI_C = set("""
auto break case char const continue default do double else enum extern float for goto if
int long register return short signed sizeof static struct switch typedef union unsigned
void volatile while inline restrict bool true false NULL EOF FILE size_t stdin stdout
stderr far near defined
""".split())
# Library functions: keywords only when called.
FUNZIONI_C = set("""
printf fprintf sprintf snprintf scanf sscanf fscanf puts fputs gets fgets putchar getchar
putc getc fputc fgetc fopen fclose fread fwrite fseek ftell fflush malloc calloc realloc
free strcpy strncpy strcat strncat strcmp strncmp strlen strchr strrchr strstr memcpy
memmove memset memcmp exit abort atoi atol strtol feof ferror perror strerror vsnprintf
""".split())
# C++ reads every C word, plus its own. The standard names count after "std::"
# (and, with "using namespace std", the stream names alone).
CHIAVI_CPP = CHIAVI_C | set("""
this new delete class public private protected friend virtual override final explicit
mutable operator try catch throw noexcept template typename namespace using constexpr
static_cast dynamic_cast const_cast reinterpret_cast nullptr static_assert decltype
cout cerr cin endl
""".split())
NOMI_STD = {'cout', 'cerr', 'cin', 'endl', 'string'}
DIRETTIVE_C = {'#include', '#define', '#undef', '#if', '#ifdef', '#ifndef', '#elif',
               '#else', '#endif', '#pragma', '#error', '#line'}

CHIAVI_BATCH = set("""
echo set if else for in do goto call exit setlocal endlocal not exist defined errorlevel
equ neq lss leq gtr geq shift pause cls cd chdir pushd popd dir copy xcopy robocopy move
del erase ren rename mkdir md rmdir rd type start title color choice findstr find timeout
ping taskkill tasklist shutdown mode ver vol path prompt attrib sort more mklink net reg
wmic where cmd chcp cscript wscript enabledelayedexpansion enableextensions
disabledelayedexpansion disableextensions off on rem
""".split())
UGUALI_BATCH = {'in'}
DISPOSITIVI = re.compile(r'(?i)^(nul|con|prn|aux|com[1-9]|lpt[1-9])$')

# --- reading a line ----------------------------------------------------------
# Each reader turns a line into tokens: (kind, text, role)
#   kind: 'parola' (a word in code), 'testo' (comment or string), 'altro'
#   role for words: chiave, uguale, membro, identificatore, etichetta,
#   variabile, opzione, dispositivo


def Token(tipo, testo, ruolo=None):
    return (tipo, testo, ruolo)


PAROLA_BASIC = re.compile(r'#?[A-Za-z_][A-Za-z0-9_]*[$%&!#@]?')


# Words that can never name a variable: a field spelled like one ("Type As
# Long" in a Type block) is a name only where it is declared.
RISERVATE_BASIC = set("""
and as boolean byref byte byval call case const currency date declare dim do double each
else elseif end enum event exit for friend function get global gosub goto if in integer
is let long loop me mod new next not nothing object on option optional or paramarray
preserve private property public redim rem resume return select set single static step
string sub then to type until variant wend while with withevents xor
""".split())


# Statements that may stand alone before a ":" ("Beep: x = 1"): no labels.
SOLE_BASIC = set("""
beep clear close cls cont debug doevents error files lprint palette print randomize reset
restore run sleep stop system
""".split())


def EtichettaBasic(riga):
    """The line label opening a BASIC line ("Err:", "web_Cleanup:"), or None."""
    m = re.match(r'\s*([A-Za-z_]\w*):(?!=)', riga)
    if m and m.group(1).lower() not in RISERVATE_BASIC | SOLE_BASIC:
        return m
    return None


def DividiAlLivello(testo, separatore):
    """Splits at `separatore` outside brackets; strings are already blanked."""
    parti, profondita, inizio = [], 0, 0
    for k, c in enumerate(testo):
        if c == '(':
            profondita += 1
        elif c == ')':
            profondita -= 1
        elif c == separatore and profondita == 0:
            parti.append(testo[inizio:k])
            inizio = k + 1
    parti.append(testo[inizio:])
    return parti


def DichiaratiBasic(righe):
    """The names a BASIC file declares, read with regular expressions: those of
    Dim, ReDim, Const, Public, Private, Static, Global, of parameters and of
    Enum members, for the whole file (lower case); Type fields and reserved
    words as (line, name) at their declaration only; the line labels (lower
    case), names of their own that only GoTo, GoSub and Resume use."""
    nomi, posti, etichette = set(), set(), set()
    blocco = None
    k = 0
    while k < len(righe):
        prima = k
        logica = righe[k]
        while re.search(r'(^|\s)_\s*$', logica) and k + 1 < len(righe):
            k += 1
            logica = re.sub(r'_\s*$', ' ', logica) + righe[k]
        k += 1
        codice = re.sub(r'"[^"]*"?', '""', logica)
        codice = codice.split("'")[0]
        etichetta = None if blocco else EtichettaBasic(codice)
        if etichetta:
            etichette.add(etichetta.group(1).lower())

        def Dichiara(nome, solo_qui=False):
            nome = nome.lower()
            if solo_qui or nome in RISERVATE_BASIC:
                posti.add((prima, nome))
            else:
                nomi.add(nome)

        def Elenco(testo):
            for voce in DividiAlLivello(testo, ','):
                m = re.match(r'\s*(?:(?:optional|byval|byref|paramarray|withevents)\s+)*'
                             r'([A-Za-z]\w*)', voce, re.I)
                if m:
                    Dichiara(m.group(1))

        for istruzione in DividiAlLivello(codice, ':'):
            m = re.match(r'\s*([A-Za-z]\w*)', istruzione)
            if not m:
                continue
            if blocco:
                if m.group(1).lower() == 'end':
                    blocco = None
                else:
                    Dichiara(m.group(1), blocco == 'type')
                continue
            resto = istruzione
            modificatore = re.match(r'(?i)\s*((public|private|friend|global|static)\s+)+', resto)
            if modificatore:
                resto = resto[modificatore.end():]
            d = re.match(r'(?i)\s*(dim|redim|const)\s+((preserve|shared|withevents)\s+)*', resto)
            p = re.match(r'(?i)\s*(sub|function|event|property\s+(get|let|set)|'
                         r'declare\s+(ptrsafe\s+)?(sub|function))\s+([A-Za-z]\w*)', resto)
            t = re.match(r'(?i)\s*(type|enum)\s+([A-Za-z]\w*)', resto)
            if d:
                Elenco(resto[d.end():])
            elif p:
                Dichiara(p.group(5))
                aperta = resto.find('(', p.end())
                if aperta >= 0:
                    Elenco(DividiAlLivello(resto[aperta + 1:], ')')[0])
            elif t:
                Dichiara(t.group(2))
                blocco = t.group(1).lower()
            elif modificatore:
                Elenco(resto)
    return nomi, posti, etichette


def LeggiRigaBasic(riga, dichiarati=(set(), set(), set()), indice=-1):
    toks = []
    i, n = 0, len(riga)
    etichetta = EtichettaBasic(riga)  # "Else:" ends a statement
    salto = False  # right after GoTo, GoSub or Resume (or a "," of On x GoTo)
    opzione = re.match(r'(?i)\s*option\s', riga)
    inizio_istruzione = True
    precedente = ''  # last non-blank code character
    while i < n:
        c = riga[i]
        if c in ' \t':
            i += 1
            continue
        if c == '"':
            j = i + 1
            while j < n:
                if riga[j] == '"':
                    if j + 1 < n and riga[j + 1] == '"':
                        j += 2
                        continue
                    break
                j += 1
            toks.append(Token('testo', riga[i:j + 1]))
            i = j + 1
            precedente = '"'
            inizio_istruzione = False
            continue
        if c == "'":
            toks.append(Token('testo', riga[i:]))
            break
        m = PAROLA_BASIC.match(riga, i)
        if m and (c != '#' or inizio_istruzione):
            parola = m.group(0)
            # "rs!Campo": the ! is the member operator, not a suffix
            if parola[-1] == '!' and m.end() < n and re.match(r'[A-Za-z_\[]', riga[m.end()]):
                parola = parola[:-1]
            chiave = parola.lower().rstrip('$%&!#@')
            if inizio_istruzione and chiave == 'rem':
                toks.append(Token('parola', parola, 'chiave'))
                toks.append(Token('testo', riga[i + len(parola):]))
                break
            if precedente in ('.', '!') and not re.search(r'(?i)\bdebug\.$', riga[:i]):
                ruolo = 'membro'
            elif chiave == 'me' and riga[i + len(parola):i + len(parola) + 1] == '.':
                ruolo = 'membro'  # the object of "Me.Caption" reads with its member
            elif chiave in dichiarati[0] or (indice, chiave) in dichiarati[1]:
                ruolo = 'dichiarato'
            elif (etichetta and i == etichetta.start(1)) or (salto and chiave in dichiarati[2]):
                ruolo = 'etichetta'
            elif chiave in UGUALI_BASIC:
                ruolo = 'uguale'
            elif chiave in CHIAVI_BASIC or (opzione and chiave in CHIAVI_OPTION) or \
                    chiave.lstrip('#') in ('if', 'elseif', 'else', 'end', 'const'):
                ruolo = 'chiave'
            else:
                ruolo = 'identificatore'
            toks.append(Token('parola', parola, ruolo))
            i += len(parola)
            precedente = 'a'
            inizio_istruzione = False
            salto = chiave in ('goto', 'gosub', 'resume') or (salto and ruolo == 'etichetta')
            continue
        if re.match(r'\d', c):
            m = re.match(r'[\d.]+([eE][-+]?\d+)?[#!%&@]?', riga[i:])
            toks.append(Token('altro', m.group(0)))
            i += len(m.group(0))
            precedente = '0'
            continue
        toks.append(Token('altro', c))
        salto = salto and c == ','
        inizio_istruzione = c == ':'
        precedente = c
        i += 1
    return toks


class LettoreC:
    """Reads C (or C++) lines, carrying an open /* comment */ from line to line."""

    PAROLA = re.compile(r'[A-Za-z_]\w*')

    def __init__(self, cpp=False):
        self.in_commento = False
        self.chiavi = CHIAVI_CPP if cpp else CHIAVI_C
        self.cpp = cpp

    def __call__(self, riga):
        toks = []
        i, n = 0, len(riga)
        precedente = ''
        direttiva = re.match(r'\s*#\s*([a-z]+)', riga)
        while i < n:
            if self.in_commento:
                j = riga.find('*/', i)
                fine = n if j < 0 else j + 2
                toks.append(Token('testo', riga[i:fine]))
                self.in_commento = j < 0
                i = fine
                continue
            c = riga[i]
            if c in ' \t\f\v':
                i += 1
                continue
            if riga.startswith('/*', i):
                self.in_commento = True
                continue
            if riga.startswith('//', i):
                toks.append(Token('testo', riga[i:]))
                break
            if c in '"\'':
                j = i + 1
                while j < n and riga[j] != c:
                    j += 2 if riga[j] == '\\' else 1
                toks.append(Token('testo', riga[i:j + 1]))
                i = j + 1
                precedente = c
                continue
            if direttiva and i == direttiva.start(0) + riga[direttiva.start(0):].index('#'):
                fine = direttiva.end(1)
                testo = riga[i:fine]
                parola = '#' + direttiva.group(1)
                ruolo = 'chiave' if parola in DIRETTIVE_C else 'identificatore'
                toks.append(Token('parola', testo, ruolo))
                i = fine
                if parola in ('#define', '#ifdef', '#ifndef', '#undef'):
                    m = re.match(r'\s*([A-Za-z_]\w*)', riga[i:])
                    if m:
                        toks.append(Token('parola', m.group(1), 'identificatore'))
                        i += len(m.group(0))
                if parola == '#include':
                    m = re.match(r'\s*<[^>]*>', riga[i:])
                    if m:
                        toks.append(Token('testo', m.group(0).strip()))
                        i += len(m.group(0))
                continue
            m = self.PAROLA.match(riga, i)
            if m and self.cpp and m.group(0) == 'std' and riga.startswith('::', m.end()):
                # "std::" only qualifies the name after it
                toks.append(Token('parola', 'std', 'qualificatore'))
                i = m.end() + 2
                precedente = 'std::'
                continue
            if m:
                parola = m.group(0)
                dopo = riga[m.end():].lstrip()
                if precedente in ('.', '->'):
                    ruolo = 'membro'
                elif parola == 'this' and riga.startswith('->', m.end()):
                    ruolo = 'membro'  # "this->x" reads with its member
                elif precedente == 'std::' and parola in NOMI_STD:
                    ruolo = 'chiave'
                elif parola in self.chiavi or (parola in FUNZIONI_C and dopo.startswith('(')):
                    ruolo = 'chiave'
                else:
                    ruolo = 'identificatore'
                toks.append(Token('parola', parola, ruolo))
                i = m.end()
                precedente = 'a'
                continue
            if re.match(r'\d', c):
                m = re.match(r'\w+(\.\w*)?', riga[i:])
                toks.append(Token('altro', m.group(0)))
                i += len(m.group(0))
                precedente = '0'
                continue
            if riga.startswith('->', i):
                toks.append(Token('altro', '->'))
                precedente = '->'
                i += 2
                continue
            toks.append(Token('altro', c))
            precedente = c
            i += 1
        return toks


VARIABILE_BATCH = re.compile(r'%%(?:~[A-Za-z$:]*)?[A-Za-z]|%~?[0-9*]|%~[a-z]*[0-9]|%[^%\s]+%|![^!\s]+!')


def FineValoreSet(riga, i):
    # The value of "set name=value" is data up to the line end or an unquoted,
    # unescaped & | < >.
    tra_virgolette = False
    while i < len(riga):
        c = riga[i]
        if c == '^':
            i += 2
            continue
        if c == '"':
            tra_virgolette = not tra_virgolette
        elif c in '&|<>' and not tra_virgolette:
            break
        i += 1
    return min(i, len(riga))


def LeggiRigaBatch(riga):
    toks = []
    s = riga.lstrip(' \t@')
    if re.match(r'(?i)rem(\s|$)', s) or s.startswith('::'):
        if s.startswith('::'):
            return [Token('testo', riga.strip())]
        return [Token('parola', s[:3], 'chiave'), Token('testo', s[3:].strip())] if s[3:].strip() else \
            [Token('parola', s[:3], 'chiave')]
    m = re.match(r'\s*:([^\s:]+)(.*)', riga)
    if m:
        toks.append(Token('parola', m.group(1), 'etichetta'))
        if m.group(2).strip():
            toks.append(Token('testo', m.group(2).strip()))
        return toks
    i, n = 0, len(riga)
    ultima = ''  # last keyword read, lower case
    nome_set = False
    espressione_set = False  # "set /a": the value is an expression, not data
    while i < n:
        c = riga[i]
        if c in ' \t@(),;=':
            i += 1
            continue
        v = VARIABILE_BATCH.match(riga, i)
        if v:
            nome = v.group(0)
            if nome.lower() in ('%errorlevel%', '!errorlevel!'):
                toks.append(Token('parola', nome, 'chiave'))
            else:
                toks.append(Token('parola', nome, 'variabile'))
            i = v.end()
            continue
        if c == '"':
            # the closing quote; a %name:x=y% inside is expanded before the
            # quotes are read, so its own quotes do not close the string
            j = i + 1
            while j < n and riga[j] != '"':
                v = VARIABILE_BATCH.match(riga, j) if riga[j] == '%' else None
                j = v.end() if v else j + 1
            j = n - 1 if j >= n else j
            testo = riga[i:j + 1]
            if (nome_set or ultima == 'set') and '=' in testo:
                nome, resto = testo[1:].split('=', 1)
                toks.append(Token('parola', nome, 'variabile'))
                if resto.strip('"'):
                    toks.append(Token('testo', resto.rstrip('"')))
                nome_set = False
                ultima = ''
            else:
                toks.append(Token('testo', testo))
            i = j + 1
            continue
        if c == '/' and (i == 0 or riga[i - 1] in ' \t'):
            m = re.match(r'/[^\s/"]*', riga[i:])
            opzione = m.group(0)
            legata = ultima in ('set', 'for', 'exit', 'if') and len(opzione) == 2
            toks.append(Token('parola', opzione, 'chiave' if legata else 'opzione'))
            if ultima == 'set':
                nome_set = True
                espressione_set = opzione.lower() == '/a'
            i += len(opzione)
            continue
        if c in '<>|&':
            toks.append(Token('altro', c))
            i += 1
            ultima = '' if c in '|&' else ultima
            continue
        m = re.match(r'[^\s@(),;=<>|&"%!]+', riga[i:])
        if not m:
            toks.append(Token('altro', c))
            i += 1
            continue
        parola = m.group(0)
        if re.match(r'(?i)echo[.:\\/]', parola):
            parola = parola[:5]  # "echo:text", "echo\": echo and its separator
        chiave = parola.lower().strip("'`")
        precedente = riga[:i].rstrip()
        if nome_set or (ultima == 'set' and riga[i + len(parola):].startswith('=')):
            toks.append(Token('parola', parola, 'variabile'))
            i += len(parola)
            nome_set = False
            ultima = ''
            if riga.startswith('=', i) and not espressione_set:
                fine = FineValoreSet(riga, i + 1)
                if riga[i + 1:fine].strip():
                    toks.append(Token('testo', riga[i + 1:fine].strip()))
                i = fine
            continue
        elif ultima in ('goto', 'call') and (parola.startswith(':') or ultima == 'goto'):
            # "goto :eof" ends the script; "goto eof" jumps to a label :eof
            ruolo = 'chiave' if chiave == ':eof' else 'etichetta'
            ultima = ''
        elif DISPOSITIVI.match(parola) or (precedente.endswith('>') and DISPOSITIVI.match(parola)):
            ruolo = 'dispositivo'
        elif ('\\' in parola or '.' in parola.strip('.') or ':' in parola) and \
                not re.fullmatch(r'(?i)echo[.:\\/]', parola):
            # a path or a file: its parts are names, a device inside a path
            # too (each part once, so that its words are counted once)
            for parte in re.split(r'[\\/.:]', parola):
                if parte:
                    toks.append(Token('parola', parte,
                                      'dispositivo' if DISPOSITIVI.match(parte) else 'identificatore'))
            i += len(parola)
            continue
        elif ultima in ('reg', 'net') and chiave in ('query', 'add', 'delete', 'start', 'stop',
                                                     'use'):
            ruolo = 'chiave'  # the subcommand reads with its command ("reg query")
        elif chiave in UGUALI_BATCH:
            ruolo = 'uguale'
        elif chiave.rstrip('.:\\/') in CHIAVI_BATCH:
            ruolo = 'chiave'
        else:
            ruolo = 'identificatore'
        toks.append(Token('parola', parola, ruolo))
        i += len(parola)
        if ruolo == 'chiave':
            ultima = chiave.rstrip('.:\\/')
            if ultima == 'echo':
                resto = riga[i:]
                fine = re.search(r'[<>|&]', resto)
                testo = resto[:fine.start()] if fine else resto
                if testo.strip() and testo.strip().lower() not in ('off', 'on'):
                    toks.append(Token('testo', testo.strip()))
                    i += len(testo)
    return toks


# --- comparing ---------------------------------------------------------------

PAROLA_BOZZA = re.compile(r'\w+', re.UNICODE)


def Leggi(percorso):
    dati = open(percorso, 'rb').read()
    if dati.startswith(b'\xef\xbb\xbf'):
        testo = dati[3:].decode('utf-8', 'replace')
    elif dati[:2] in (b'\xff\xfe', b'\xfe\xff'):
        testo = dati.decode('utf-16', 'replace')
    else:
        try:
            testo = dati.decode('utf-8')
        except UnicodeDecodeError:
            testo = dati.decode('cp1252', 'replace')
    righe = testo.replace('\r\n', '\n').replace('\r', '\n').split('\n')
    while righe and not righe[-1].strip():
        righe.pop()
    return righe


def Parole(testo):
    return PAROLA_BOZZA.findall(testo)


class Misura:
    def __init__(self, esempi):
        self.esempi = esempi
        self.chiavi = 0
        self.tradotte = 0
        self.uguali = 0
        self.non_tradotte = Counter()
        self.nomi = Counter()
        self.esempi_nomi = defaultdict(list)
        self.caratteri_testo = 0
        self.testo_cambiato = 0
        self.esempi_testo = []
        self.esempi_rimaste = []
        self.righe_designer = 0
        self.designer_cambiate = 0
        self.righe = 0
        self.file = 0

    def Nome(self, ruolo, dove, originale, bozza):
        self.nomi[ruolo] += 1
        if len(self.esempi_nomi[ruolo]) < self.esempi:
            self.esempi_nomi[ruolo].append(f'{dove}: {originale.strip()} -> {bozza.strip()}')

    def Riga(self, dove, toks, originale, bozza):
        # The words of both lines are found the same way (\w+), so that
        # "%~p0config" is one word in each; each word of the original takes the
        # role of the tokens under it.
        parole, info = [], []
        posti, cursore = [], 0
        for tipo, testo, ruolo in toks:
            j = originale.find(testo, cursore)
            posti.append((j, j + len(testo)) if j >= 0 else (-1, -1))
            cursore = j + len(testo) if j >= 0 else cursore
        for m in PAROLA_BOZZA.finditer(originale):
            sotto = [(k, 'testo' if toks[k][0] == 'testo' else toks[k][2])
                     for k, (a, b) in enumerate(posti) if a < m.end() and b > m.start()]
            sotto = [(k, r) for k, r in sotto if r]
            # a name glued to a variable ("%1r") is a name; a word without a
            # token (a number) only helps the alignment
            scelta = next((x for x in sotto if x[1] not in ('testo', 'variabile', 'qualificatore')),
                          next((x for x in sotto if x[1] == 'variabile'),
                               sotto[0] if sotto else (None, None)))
            parole.append(m.group(0))
            info.append((scelta[1], scelta[0], m.group(0)))
        tenute = [False] * len(parole)
        sm = difflib.SequenceMatcher(None, parole, Parole(bozza), autojunk=False)
        for a, _b, lung in sm.get_matching_blocks():
            for k in range(a, a + lung):
                tenute[k] = True
        visti = set()
        for k, (ruolo, token, parola) in enumerate(info):
            if ruolo in (None, 'testo', 'qualificatore'):
                continue
            if ruolo in ('chiave', 'uguale'):
                if ruolo == 'uguale':
                    self.uguali += 1
                    continue
                self.chiavi += 1
                if tenute[k]:
                    self.non_tradotte[toks[token][1].lower()] += 1
                    if len(self.esempi_rimaste) < self.esempi:
                        self.esempi_rimaste.append(f'{dove}: {originale.strip()} -> {bozza.strip()}')
                else:
                    self.tradotte += 1
            elif not tenute[k] and token not in visti:
                # a name of several words ("%bar.del%") counts once
                visti.add(token)
                self.Nome(ruolo, dove, originale, bozza)
        # every comment and string, in order, intact in the draft line
        cursore = 0
        for tipo, testo, _ruolo in toks:
            if tipo != 'testo':
                continue
            self.caratteri_testo += len(testo)
            j = bozza.find(testo, cursore)
            if j >= 0:
                cursore = j + len(testo)
                continue
            uguali = sum(b.size for b in difflib.SequenceMatcher(
                None, testo, bozza[cursore:], autojunk=False).get_matching_blocks())
            self.testo_cambiato += len(testo) - uguali
            if len(self.esempi_testo) < self.esempi:
                self.esempi_testo.append(f'{dove}: {originale.strip()} -> {bozza.strip()}')


def InizioParteEstranea(righe):
    # A hybrid batch file carries a script in another language that cmd never
    # reads: JScript after the "@end" of "@if (@X == @Y) @then", PowerShell
    # after the "goto :eof" of a file that opens with "<# :". That part must
    # stay as it is, like a comment.
    # Or JScript after the "*/" that closes a comment the first line opens
    # ("0</* :", "@set @x=0 /*"), wherever it stands on its line.
    prima = next((r for r in righe if r.strip()), '')
    if '/*' in prima:
        for k, riga in enumerate(righe):
            if k > 0 and '*/' in riga:
                return k + 1  # the batch before the "*/" is read as batch
    # A line that begins with "*/" after one that opened "/*" (a C# or
    # JScript half after "exit /b") is past the end of the batch half.
    for k, riga in enumerate(righe):
        if re.match(r'\s*\*/', riga) and any('/*' in r for r in righe[:k]):
            return k
    if re.match(r'(?i)\s*@?if\s*\(@', prima):
        fine = r'(?i)\s*@end\b'
    elif re.match(r'\s*<#\s*:', prima):
        fine = r'(?i)\s*(goto\s+:eof|exit\s+/b)\b'
    else:
        return len(righe)
    for k, riga in enumerate(righe):
        if k > 0 and re.match(fine, riga):
            return k + 1
    return len(righe)


def MisuraFile(misura, linguaggio, nome, originale, bozza):
    misura.file += 1
    if len(originale) != len(bozza):
        # the draft never joins or splits lines; if it does, align the lines
        sm = difflib.SequenceMatcher(None, originale, bozza, autojunk=False)
        coppie = []
        for op, a1, a2, b1, b2 in sm.get_opcodes():
            if op == 'equal' or (a2 - a1) == (b2 - b1):
                coppie += list(zip(range(a1, a2), range(b1, b2)))
            else:
                print(f'  {nome}: righe {a1 + 1}-{a2} non allineate', file=sys.stderr)
    else:
        coppie = list(zip(range(len(originale)), range(len(bozza))))
    dichiarati = DichiaratiBasic(originale) if linguaggio == 'basic' else None
    lettore = {'basic': lambda riga: LeggiRigaBasic(riga, dichiarati, a), 'c': LettoreC(),
               'cpp': LettoreC(cpp=True), 'batch': LeggiRigaBatch}[linguaggio]
    estranea = InizioParteEstranea(originale) if linguaggio == 'batch' else len(originale)
    designer = linguaggio == 'basic' and any(r.startswith('Attribute VB_') for r in originale)
    for a, b in coppie:
        riga, riga_bozza = originale[a], bozza[b]
        misura.righe += 1
        if designer and (riga.startswith('Attribute ') or
                         not any(r.startswith('Attribute VB_') for r in originale[:a])):
            misura.righe_designer += 1
            if riga != riga_bozza:
                misura.designer_cambiate += 1
                if len(misura.esempi_testo) < misura.esempi:
                    misura.esempi_testo.append(f'{nome}:{a + 1}: {riga.strip()} -> {riga_bozza.strip()}')
            continue
        toks = lettore(riga) if a < estranea else [Token('testo', riga.strip())] if riga.strip() else []
        misura.Riga(f'{nome}:{a + 1}', toks, riga, riga_bozza)


def Esegui(programma, linguaggio, file, uscita):
    casa = tempfile.mkdtemp(prefix='misura-casa-')
    ambiente = dict(os.environ, HOME=casa, XDG_CONFIG_HOME=casa, XDG_DATA_HOME=casa,
                    QT_QPA_PLATFORM='offscreen')
    linguaggio = {'cpp': 'c++'}.get(linguaggio, linguaggio)
    comando = [programma, '--elenco', linguaggio, f'--linguaggio={linguaggio}', '--proteggi',
               '--separatori-codice', '-o', uscita] + file
    esito = subprocess.run(comando, cwd=casa, env=ambiente, capture_output=True, text=True)
    if esito.returncode != 0 and linguaggio == 'c++' and '--linguaggio' in esito.stderr:
        # an older program without a C++ list reads C++ with the C one
        comando = [{'c++': 'c', '--linguaggio=c++': '--linguaggio=c'}.get(a, a) for a in comando]
        esito = subprocess.run(comando, cwd=casa, env=ambiente, capture_output=True, text=True)
    shutil.rmtree(casa, ignore_errors=True)
    if esito.returncode != 0:
        sys.exit(f'{programma} ha restituito {esito.returncode}: {esito.stderr.strip()}')


def main():
    argomenti = sys.argv[1:]
    esempi = 3
    if '--esempi' in argomenti:
        k = argomenti.index('--esempi')
        esempi = int(argomenti[k + 1])
        del argomenti[k:k + 2]
    if len(argomenti) != 2:
        sys.exit(__doc__.split('\n\n')[1])
    programma, corpus = os.path.abspath(argomenti[0]), argomenti[1]
    tabella = []
    for linguaggio, estensioni in ESTENSIONI.items():
        cartella = os.path.join(corpus, linguaggio)
        if not os.path.isdir(cartella):
            continue
        file = sorted(os.path.abspath(os.path.join(cartella, f)) for f in os.listdir(cartella)
                      if f.lower().endswith(estensioni))
        if not file:
            continue
        uscita = tempfile.mkdtemp(prefix=f'misura-{linguaggio}-')
        try:
            Esegui(programma, linguaggio, file, uscita)
            misura = Misura(esempi)
            for f in file:
                nome = os.path.basename(f)
                MisuraFile(misura, linguaggio, nome, Leggi(f), Leggi(os.path.join(uscita, nome)))
        finally:
            # also when the program fails
            shutil.rmtree(uscita, ignore_errors=True)
        tabella.append((linguaggio, misura))

    print('| linguaggio | file | righe | parole chiave nel codice | tradotte | % | nomi cambiati'
          ' | caratteri di commenti/stringhe cambiati | righe designer/Attribute cambiate |')
    print('|---|---|---|---|---|---|---|---|---|')
    for linguaggio, m in tabella:
        perc = 100.0 * m.tradotte / m.chiavi if m.chiavi else 100.0
        nomi = ', '.join(f'{r} {n}' for r, n in sorted(m.nomi.items())) or '0'
        print(f'| {linguaggio} | {m.file} | {m.righe} | {m.chiavi} | {m.tradotte} | {perc:.1f} |'
              f' {nomi} | {m.testo_cambiato} di {m.caratteri_testo} |'
              f' {m.designer_cambiate} di {m.righe_designer} |')
    for linguaggio, m in tabella:
        print(f'\n## {linguaggio}')
        if m.uguali:
            print(f'parole uguali in italiano, non contate: {m.uguali}')
        restate = ', '.join(f'{p} {n}' for p, n in m.non_tradotte.most_common(25))
        print(f'parole chiave rimaste: {restate or "nessuna"}')
        for e in m.esempi_rimaste:
            print(f'  {e}')
        for ruolo, esempi_ruolo in sorted(m.esempi_nomi.items()):
            print(f'{ruolo} cambiati ({m.nomi[ruolo]}):')
            for e in esempi_ruolo:
                print(f'  {e}')
        if m.esempi_testo:
            print('commenti, stringhe o designer cambiati:')
            for e in m.esempi_testo:
                print(f'  {e}')


if __name__ == '__main__':
    main()
