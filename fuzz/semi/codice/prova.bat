@echo off
rem commento
:: altro
if exist x echo ciao & goto fine
